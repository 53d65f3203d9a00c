// The fuzz targets' promises: a broken one ends the run with a crash that libFuzzer reports
// and keeps the input of.
#pragma once

#include <cstdlib>

namespace wintarvo::fuzz {

inline void require(bool promise) {
    if (!promise) std::abort();
}

}  // namespace wintarvo::fuzz
