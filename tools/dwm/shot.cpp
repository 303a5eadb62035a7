#include "shot.h"

#include <cstddef>

namespace dwmrig {
namespace {

constexpr int MAX_SIDE = 1 << 15;

void SkipSpaceAndComments(const std::vector<uint8_t>& b, size_t* pos) {
    while (*pos < b.size()) {
        const uint8_t c = b[*pos];
        if (c == '#') {
            while (*pos < b.size() && b[*pos] != '\n')
                ++*pos;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++*pos;
        } else {
            return;
        }
    }
}

bool ReadNumber(const std::vector<uint8_t>& b, size_t* pos, int* out) {
    SkipSpaceAndComments(b, pos);
    int v = 0;
    size_t digits = 0;
    while (*pos < b.size() && b[*pos] >= '0' && b[*pos] <= '9') {
        v = v * 10 + (b[*pos] - '0');
        if (v > MAX_SIDE) return false;
        ++*pos;
        ++digits;
    }
    *out = v;
    return digits > 0;
}

} // namespace

bool ParsePpm(const std::vector<uint8_t>& bytes, Image* image) {
    *image = Image{};
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') return false;
    size_t pos = 2;
    int w = 0, h = 0, maxval = 0;
    if (!ReadNumber(bytes, &pos, &w) || !ReadNumber(bytes, &pos, &h) ||
        !ReadNumber(bytes, &pos, &maxval))
        return false;
    if (w <= 0 || h <= 0 || maxval != 255 || pos >= bytes.size()) return false;
    ++pos; // the single white-space character before the pixels
    const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
    if (bytes.size() - pos < size) return false;
    image->width = w;
    image->height = h;
    image->rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                      bytes.begin() + static_cast<std::ptrdiff_t>(pos + size));
    return true;
}

bool PixelAt(const Image& image, int x, int y, uint8_t* r, uint8_t* g, uint8_t* b) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return false;
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 3;
    *r = image.rgb[i];
    *g = image.rgb[i + 1];
    *b = image.rgb[i + 2];
    return true;
}

} // namespace dwmrig
