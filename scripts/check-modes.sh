#!/usr/bin/env bash
# Runs fachlese-check in every output mode over a folder and keeps each output, for comparing
# two builds byte for byte:
#     scripts/check-modes.sh build/tools/fachlese-check JAHRGANG OUT
#     diff -r OUT-before OUT-after
# JAHRGANG comes from scripts/gen-yeargroup.py.
set -u
check=$1 folder=$2 out=$3
mkdir -p "$out"
export SOURCE_DATE_EPOCH=1765000000 LC_ALL=C.UTF-8
run() { # name, options...
    local name=$1; shift
    "$check" "$@" "$folder" >"$out/$name.out" 2>"$out/$name.err"
    echo $? >"$out/$name.rc"
}
for lk in yes no; do
    run "text-$lk" --foreign-lk=$lk
    run "json-$lk" --json --foreign-lk=$lk
    run "csv-$lk" --csv --foreign-lk=$lk
    run "statistik-text-$lk" --statistik --foreign-lk=$lk
    run "statistik-json-$lk" --statistik --json --foreign-lk=$lk
    mkdir -p "$out/tabellen-$lk"
    run "statistik-csv-$lk" --statistik --csv --ausgabe "$out/tabellen-$lk" --foreign-lk=$lk
    run "bericht-$lk" --bericht "$out/bericht-$lk.html" --foreign-lk=$lk
    run "pruefliste-text-$lk" --pruefliste --foreign-lk=$lk
    run "pruefliste-json-$lk" --pruefliste --json --foreign-lk=$lk
done
