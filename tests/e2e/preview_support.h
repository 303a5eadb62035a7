// The preview benchmark's (bench/preview_bench_win.cpp) names for the driver's helpers.
#pragma once

#include "app/base/settings.h"
#include "driver.h"

namespace pv {
using namespace e2e;
constexpr DWORD kAddOnTop = lumetta::SETTINGS_DEFAULT_FLAGS;
inline void ClearFlags() {
    ClearSettings();
}
} // namespace pv
