#!/usr/bin/env bash
# Times fachlese-check against `cat` reading the same files, in every output mode, on two sets
# of 10,000 generated choice files. Goal: fachlese-check takes no longer than cat (ratio <= 1.0).
#
#   scripts/bench-check.sh [PAIRS]
#
#   FACHLESE_CHECK=PROGRAM   time this program instead of building one
#   BENCH_FILES=N            files per set (default 10000)
#   BENCH_SETS=FOLDER        write the sets into FOLDER and keep them (to compare outputs)
#   BENCH_ONLY_SETS=1        only write the sets, time nothing
#
# Builds fachlese-check in the Release folder build-bench (unless FACHLESE_CHECK names a built
# program) and writes two sets: "klassen", varied choices spread over 20 class folders (every
# 20th file refused), and "jahrgang", one folder with choices of every outcome (each reason
# code of the CSV in turn). Each mode (text, --json, --csv, --statistik) is timed against cat
# in PAIRS alternating pairs (default 11; cat first in even pairs, the tool first in odd
# ones); the ratio of each pair is taken, and the median is printed with the lowest and the
# highest ratio as the spread.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/bench-common.sh"
pairs="${1:-11}"
count="${BENCH_FILES:-10000}"

tool="${FACHLESE_CHECK:-}"
if [ -z "$tool" ] && [ "${BENCH_ONLY_SETS:-0}" != 1 ]; then
    release_build fachlese-check
    tool="$here/build-bench/tools/fachlese-check"
fi

if [ -n "${BENCH_SETS:-}" ]; then
    work="$BENCH_SETS"
    mkdir -p "$work"
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
fi

# Set 1, "klassen": Windows-1252 text, CR LF, spread over 20 class folders. Every 20th file is
# refused or missing its contents; the rest pass or fail at the different stages.
awk -v count="$count" -v dir="$work/klassen" 'BEGIN {
    n = split("Englisch Franz\366sisch Spanisch Latein", lang, " ")
    m = split("Physik Biologie Chemie", sci, " ")
    for (i = 0; i < count; i++) {
        folder = sprintf("%s/klasse%02d", dir, i % 20)
        if (i < 20) system("mkdir -p " folder)
        file = sprintf("%s/schueler%05d.fld", folder, i)
        kind = i % 20
        if (kind == 19) { printf "" > file; close(file); continue }            # empty: refused
        if (kind == 18) { printf "fachlese\r\n" > file; close(file); continue } # wrong signature
        l = lang[i % n + 1]; s = sci[i % m + 1]
        row[1] = "Deutsch"; row[2] = "Mathematik"; row[3] = l; row[4] = "Geschichte"
        row[5] = s; row[6] = "Sport"; row[7] = "Politik"; row[8] = "Religion\tReligion\tKunst\tKunst"
        row[9] = "Informatik"; row[10] = "Erdkunde"; row[11] = ""; row[12] = ""
        if (kind == 1) { row[1] = l; row[3] = "Deutsch" }              # LK foreign language: question
        if (kind == 2) { row[5] = "Physik\tPhysik\tPhysk\tPhysik" }     # unknown subject
        if (kind == 3) { row[9] = ""; row[10] = ""; row[8] = "Religion\tReligion" }  # 30 courses
        if (kind == 4) { row[7] = "Politik\t\t\t" }                          # obligations missing
        if (kind == 5) { row[1] = "Physik"; row[2] = "Kunst"; row[3] = "Geschichte"; row[4] = "Biologie" }
        if (kind == 6) { for (r = 1; r <= 11; r++) row[r] = "" }          # empty grid
        if (kind == 7) { row[11] = "Sport" }                              # repeated course warning
        if (kind == 8) { row[1] = "  Deutsch " ; row[12] = "Notiz" }       # blanks, spare row
        if (kind == 9) { row[3] = "Sport" }                               # Sport as PK 3
        printf "Fachlese\r\n" > file
        for (r = 1; r <= 12; r++) {
            line = row[r]
            t = gsub(/\t/, "\t", line)
            if (line != "" && t == 0) line = line "\t" line "\t" line "\t" line
            else if (t == 1) line = line "\t\t"
            else if (line == "") line = "\t\t\t"
            printf "%s\r\n", line > file
        }
        close(file)
    }
}'

# Set 2, "jahrgang": one folder, the outcomes in turn: passed, the LK foreign-language question,
# the repeated-course warning, an empty grid, an unknown subject, each exam-subject rule, the
# obligations, fewer than 33 courses, a refused file. A row is one text for all four
# semesters, or four texts separated by "|".
mkdir -p "$work/jahrgang"
awk -v count="$count" -v dir="$work/jahrgang" 'BEGIN {
    k = 0
    v[k++] = ""                                                   # passes, 36 courses
    v[k++] = "1=Englisch;3=Deutsch"                               # LK foreign language
    v[k++] = "11=Biologie|||"                                     # repeated course
    v[k++] = "EMPTY"                                              # no subject entered
    v[k++] = "6=Sport|Sport|Mathe|Sport"                          # unknown subject
    v[k++] = "1=Kunst;2=Geschichte;3=Englisch;4=Mathematik"       # rule 1
    v[k++] = "2=Kunst;3=Geschichte;4=Biologie"                    # rule 2
    v[k++] = "1=Physik;2=Kunst;3=Geschichte;4=Biologie"           # rule 3 (and 7)
    v[k++] = "3=Sport;6=Englisch"                                 # rule 4
    v[k++] = "4=Sport-Theorie"                                    # rule 5
    v[k++] = "4=Physik;5=Geschichte"                              # rule 6
    v[k++] = "1=Mathematik;2=Physik;3=Kunst;4=Geschichte;5=Biologie" # rule 7
    v[k++] = "2=Religion;3=Englisch;4=Mathematik;8=Geschichte"    # rule 8
    v[k++] = "4=Werte u. Normen;8=Geschichte"                     # rule 9
    v[k++] = "2=Mathematik||Mathematik|Mathematik"                # rule 10
    v[k++] = "1=Deutsch|Deutsch|Deutsch|Englisch"                 # exam subjects change
    v[k++] = "7=Politik|||"                                       # obligations
    v[k++] = "9=Biologie|||"                                      # 33 courses: passes
    v[k++] = "9="                                                 # 32 courses
    v[k++] = "BAD"                                                # wrong signature
    split("Deutsch Mathematik Englisch Geschichte Physik Sport Politik Religion|Religion|Kunst|Kunst Biologie", base, " ")
    for (i = 0; i < count; i++) {
        file = sprintf("%s/wahl%05d.fld", dir, i)
        variant = v[i % k]
        if (variant == "BAD") { printf "fachlese\r\n" > file; close(file); continue }
        for (r = 1; r <= 12; r++) row[r] = (r <= 9 ? base[r] : "")
        if (variant == "EMPTY") for (r = 1; r <= 12; r++) row[r] = ""
        else if (variant != "") {
            nc = split(variant, changes, ";")
            for (c = 1; c <= nc; c++) {
                split(changes[c], kv, "=")
                row[kv[1] + 0] = kv[2]
            }
        }
        printf "Fachlese\r\n" > file
        for (r = 1; r <= 12; r++) {
            line = row[r]
            if (index(line, "|") == 0) line = line "|" line "|" line "|" line
            gsub(/\|/, "\t", line)
            printf "%s\r\n", line > file
        }
        close(file)
    }
}'

for set in klassen jahrgang; do
    find "$work/$set" -name '*.fld' -print0 | LC_ALL=C sort -z > "$work/$set.list"
    echo "$set: $(tr -cd '\0' < "$work/$set.list" | wc -c) Dateien in $work/$set"
done
[ "${BENCH_ONLY_SETS:-0}" = 1 ] && exit 0

printf '%-9s %-12s %10s %10s %7s  %s\n' Satz Ausgabe "cat ms" "Tool ms" Faktor "Spanne (min-max)"
all_met=1
for set in klassen jahrgang; do
    list="$work/$set.list"
    xargs -0 -a "$list" cat > /dev/null # warm the cache
    for mode in text --json --csv --statistik; do
        args=("$work/$set")
        [ "$mode" = text ] || args=("$mode" "$work/$set")
        read_files() { xargs -0 -a "$list" cat; }
        check_files() { "$tool" "${args[@]}"; }
        check_files > /dev/null 2>&1 || [ $? -le 2 ] || { echo "fachlese-check ist abgestürzt" >&2; exit 1; }
        read -r cat_ms tool_ms ratio spread < <(alternate_pairs "$pairs" read_files check_files)
        printf '%-9s %-12s %10s %10s %6sx  %s\n' "$set" "$mode" "$cat_ms" "$tool_ms" "$ratio" "$spread"
        awk -v r="$ratio" 'BEGIN { exit !(r <= 1.0) }' || all_met=0
    done
done
if [ "$all_met" = 1 ]; then
    echo "Ziel erreicht: in jedem Satz und jeder Ausgabe höchstens so lange wie cat (Median)"
else
    echo "Ziel verfehlt: mindestens ein Median über dem von cat"
fi
