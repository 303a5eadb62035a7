// GoogleTest printers for the pure types, so that failures show coordinates rather than bytes.
#pragma once

#include <ostream>

#include "app/base/geometry.h"

namespace lumetta {

inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}

} // namespace lumetta
