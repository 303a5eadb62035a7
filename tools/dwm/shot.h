// Screenshots of the X screen as binary PPM (P6, maxval 255), as tools/rig-shot writes them.
#pragma once

#include <cstdint>
#include <vector>

namespace dwmrig {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, rows top to bottom
};

// False (and `image` left empty) for anything but a complete P6 image with maxval 255.
bool ParsePpm(const std::vector<uint8_t>& bytes, Image* image);

// False outside the image.
bool PixelAt(const Image& image, int x, int y, uint8_t* r, uint8_t* g, uint8_t* b);

} // namespace dwmrig
