// What the unit tests share: GoogleTest with printers for the pure types, so that failures show
// coordinates rather than bytes, the ends of the 32-bit range, and a bitmap over test memory.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/base/geometry.h"
#include "select/screen_bitmap.h"

namespace lumetta {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}

// A table of rows whose last element is what f gives for the others; a failure prints the row.
template <typename Row, typename F, size_t... I>
void ExpectRow(const Row& row, const F& f, std::index_sequence<I...>) {
    EXPECT_EQ(f(std::get<I>(row)...), std::get<sizeof...(I)>(row)) << ::testing::PrintToString(row);
}
template <typename Row, size_t N, typename F> void ExpectRows(const Row (&rows)[N], const F& f) {
    for (const Row& row : rows)
        ExpectRow(row, f, std::make_index_sequence<std::tuple_size_v<Row> - 1>{});
}

// A bitmap over exactly width × height pixels, so that a write outside it is an AddressSanitizer
// failure. At reads window pixel (x, y) from the top, computed apart from PixelIndex.
struct PixelBuffer {
    std::vector<uint32_t> memory;
    ScreenBitmap bitmap;

    PixelBuffer(int32_t width, int32_t height, uint32_t fill)
        : memory(size_t(width) * size_t(height), fill), bitmap{reinterpret_cast<HBITMAP__*>(
                                                                   uintptr_t{0x1000}),
                                                               memory.data(), width, height} {}

    uint32_t At(int32_t x, int32_t y) const {
        return memory[size_t(bitmap.height - 1 - y) * size_t(bitmap.width) + size_t(x)];
    }
};

} // namespace lumetta
