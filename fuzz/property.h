#pragma once

#include <cstdio>
#include <cstdlib>

// A property that a fuzz target checks: when it does not hold, the target names it and aborts,
// which libFuzzer reports as a finding and saves the input for.
inline void require(bool holds, const char *property) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}
