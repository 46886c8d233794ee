#!/usr/bin/env bash
# Times fachlese-check's year-group modes (--kurslisten, --kollisionen, --bloecke, each with
# --ausgabe) against `fachlese-check --statistik` on the same files. Goal: at most twice as long
# (ratio <= 2.0).
#
#   scripts/bench-yeargroup.sh [PAIRS]
#
#   FACHLESE_CHECK=PROGRAM   time this program instead of building one
#   BENCH_FILES=N            files per set (default 10000)
#
# The two sets of scripts/bench-check.sh ("klassen" and "jahrgang"), each readable file given
# a pupil's name, first name, class and date of birth after line 13 (every tenth file of
# "klassen" none). Each mode is timed against --statistik in PAIRS alternating pairs (default
# 11; --statistik first in even pairs, the mode first in odd ones); the ratio of each pair is
# taken, and the median is printed with the lowest and the highest ratio as the spread.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
pairs="${1:-11}"

tool="${FACHLESE_CHECK:-}"
if [ -z "$tool" ]; then
    release_build fachlese-check
    tool="$here/build-bench/tools/fachlese-check"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
BENCH_ONLY_SETS=1 BENCH_SETS="$work" BENCH_FILES="${BENCH_FILES:-10000}" "$here/scripts/bench-check.sh" >/dev/null

# The names: 40 surnames, 30 first names, 6 classes, dates through the year; UTF-8.
for set in klassen jahrgang; do
    tr '\0' '\n' < "$work/$set.list" | awk -v set="$set" 'BEGIN {
        ns = split("M\303\274ller Schmidt Schneider Fischer Weber Meyer Wagner Becker Schulz Hoffmann " \
                   "Sch\303\244fer Koch Bauer Richter Klein Wolf Schr\303\266der Neumann Schwarz Zimmermann " \
                   "Braun Kr\303\274ger Hofmann Hartmann Lange Schmitt Werner Krause Meier Lehmann " \
                   "Y\304\261lmaz Kaya \303\226zt\303\274rk Nowak Kowalski Popescu Ivanova Rossi Garcia Nguyen", sur, " ")
        nf = split("Ay\305\237e \305\201ukasz Anna Ben Clara David Emma Felix Greta Hannah Ida Jonas " \
                   "Karl Lea Mia Noah Ole Paul Quirin Rosa Sophie Tim Ute Vera Wim Xaver Yara Zoe Jan Lina", first, " ")
    }
    {
        i = NR - 1
        if (set == "klassen" && i % 10 == 9) next
        printf "Nachname=%s\r\nVorname=%s\r\nKlasse=1%d%c\r\nGeburtsdatum=%02d.%02d.2008\r\n", \
            sur[i % ns + 1], first[int(i / ns) % nf + 1], i % 2, 97 + i % 3, i % 28 + 1, i % 12 + 1 >> $0
        close($0)
    }'
done

printf '%-9s %-14s %14s %10s %7s  %s\n' Satz Modus "--statistik ms" "Modus ms" Faktor "Spanne (min-max)"
all_met=1
for set in klassen jahrgang; do
    xargs -0 -a "$work/$set.list" cat > /dev/null # warm the cache
    statistics() { "$tool" --statistik "$work/$set"; }
    for mode in --kurslisten --kollisionen --bloecke; do
        mode_run() { "$tool" "$mode" --ausgabe "$work/out" "$work/$set"; }
        mode_run > /dev/null 2>&1 || [ $? -le 2 ] || { echo "fachlese-check ist abgestürzt" >&2; exit 1; }
        read -r base_ms mode_ms ratio spread < <(alternate_pairs "$pairs" statistics mode_run)
        printf '%-9s %-14s %14s %10s %6sx  %s\n' "$set" "$mode" "$base_ms" "$mode_ms" "$ratio" "$spread"
        awk -v r="$ratio" 'BEGIN { exit !(r <= 2.0) }' || all_met=0
    done
done
if [ "$all_met" = 1 ]; then
    echo "Ziel erreicht: jeder Modus höchstens doppelt so lange wie --statistik (Median)"
else
    echo "Ziel verfehlt: mindestens ein Median über dem Doppelten von --statistik"
    exit 1
fi
