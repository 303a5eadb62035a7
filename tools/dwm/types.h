// Plain data the pure parts of the stand-in compositor work on.
#pragma once

#include <cstdint>

namespace dwmrig {

// A Win32 RECT: left and top inside, right and bottom outside.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool IsEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// DWM_THUMBNAIL_PROPERTIES field by field.
struct ThumbProps {
    uint32_t dwFlags = 0;
    Rect rcDestination;
    Rect rcSource;
    uint8_t opacity = 0;
    int32_t fVisible = 0;
    int32_t fSourceClientAreaOnly = 0;
};

} // namespace dwmrig
