#!/usr/bin/env bash
# Times fachlese-check on 10,000 generated choice files against `cat` reading the same files.
# Goal: fachlese-check takes no more than twice the time of cat.
#
#   scripts/bench-check.sh [FILES]
#
# Builds fachlese-check in the Release folder build-bench (unless FACHLESE_CHECK names a built
# program), writes FILES (default 10000) varied .fld files into a temporary folder (passing
# choices, choices failing at every stage, files that cannot be read), warms the file cache,
# then runs each command five times and compares the best times.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-10000}"
runs=5

tool="${FACHLESE_CHECK:-}"
if [ -z "$tool" ]; then
    generator=()
    if command -v ninja >/dev/null; then generator=(-G Ninja); fi
    cmake -S "$here" -B "$here/build-bench" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$here/build-bench" --target fachlese-check -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
    tool="$here/build-bench/tools/fachlese-check"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The files: Windows-1252 text, CR LF, spread over 20 class folders. Every 20th file is
# refused or missing its contents; the rest pass or fail at the different stages.
awk -v count="$count" -v dir="$work" 'BEGIN {
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

list="$work/files.txt"
find "$work" -name '*.fld' -print | LC_ALL=C sort > "$list"
echo "$(wc -l < "$list") Dateien in $work"

# Warm the cache; check that the tool works on the set.
xargs cat < "$list" > /dev/null
status=0
"$tool" "$work" > "$work/report.txt" 2> /dev/null || status=$?
tail -n 1 "$work/report.txt"
[ "$status" -le 2 ] || { echo "fachlese-check ist abgestürzt (Status $status)" >&2; exit 1; }

best() { # best time in microseconds of running "$@" $runs times
    local best_us= start end us
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" > /dev/null 2>&1 || true
        end=$(date +%s%N)
        us=$(( (end - start) / 1000 ))
        if [ -z "$best_us" ] || [ "$us" -lt "$best_us" ]; then best_us=$us; fi
    done
    echo "$best_us"
}

cat_us=$(best sh -c 'find "$1" -name "*.fld" -print0 | xargs -0 cat' sh "$work")
check_us=$(best "$tool" "$work")
json_us=$(best "$tool" --json "$work")
csv_us=$(best "$tool" --csv "$work")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf 'cat:                   %8.1f ms\n' "$(ratio "$cat_us" 1000)"
printf 'fachlese-check:        %8.1f ms  (%sx cat)\n' "$(ratio "$check_us" 1000)" "$(ratio "$check_us" "$cat_us")"
printf 'fachlese-check --json: %8.1f ms  (%sx cat)\n' "$(ratio "$json_us" 1000)" "$(ratio "$json_us" "$cat_us")"
printf 'fachlese-check --csv:  %8.1f ms  (%sx cat)\n' "$(ratio "$csv_us" 1000)" "$(ratio "$csv_us" "$cat_us")"
if awk -v a="$check_us" -v b="$cat_us" 'BEGIN { exit !(a <= 2 * b) }'; then
    echo "Ziel erreicht: höchstens das Doppelte von cat"
else
    echo "Ziel verfehlt: mehr als das Doppelte von cat"
fi
