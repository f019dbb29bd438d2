// How a fuzz target reports a broken property: libFuzzer keeps the input that aborted.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
