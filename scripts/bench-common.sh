# For the benchmark scripts (sourced, with `here` the project folder): the Release build they
# measure, timing in microseconds without starting a process, the median, and a reference and a
# candidate timed in alternating pairs.

# Builds TARGET in the Release folder build-bench.
release_build() {
    local generator=()
    if command -v ninja >/dev/null; then generator=(-G Ninja); fi
    cmake -S "$here" -B "$here/build-bench" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$here/build-bench" --target "$1" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
}

now_us() { local t="${EPOCHREALTIME/[.,]/}"; echo "$t"; }

# Times "$@" once in microseconds; output goes to /dev/null.
time_us() {
    local start end
    start=$(now_us)
    "$@" > /dev/null 2>&1 || true
    end=$(now_us)
    echo $(( end - start ))
}

median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# Times the commands (or functions) REFERENCE and CANDIDATE in PAIRS alternating pairs, the
# reference first in even pairs and second in odd ones, and prints the median milliseconds of
# each, the median ratio candidate / reference of the pairs and its spread (lowest-highest).
#   alternate_pairs PAIRS REFERENCE CANDIDATE
alternate_pairs() {
    local pairs="$1" reference="$2" candidate="$3" i r c
    local refs=() cands=() ratios=()
    for ((i = 0; i < pairs; i++)); do
        if (( i % 2 == 0 )); then
            r=$(time_us "$reference"); c=$(time_us "$candidate")
        else
            c=$(time_us "$candidate"); r=$(time_us "$reference")
        fi
        refs+=("$r") cands+=("$c")
        ratios+=("$(awk -v c="$c" -v r="$r" 'BEGIN { printf "%.3f", c / r }')")
    done
    printf '%s %s %s %s\n' \
        "$(printf '%s\n' "${refs[@]}" | median | awk '{ printf "%.1f", $1 / 1000 }')" \
        "$(printf '%s\n' "${cands[@]}" | median | awk '{ printf "%.1f", $1 / 1000 }')" \
        "$(printf '%s\n' "${ratios[@]}" | median | awk '{ printf "%.2f", $1 }')" \
        "$(printf '%s\n' "${ratios[@]}" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f-%.2f", lo, hi }')"
}
