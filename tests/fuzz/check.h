// What the fuzz targets share: an invariant that, once broken, ends the run with its name.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
