#include "core/picture_scale.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace quaff {

Picture ShrinkTo(Picture picture, int width, int height) {
    if (width <= 0 || height <= 0 || picture.empty()) return picture;
    if (picture.width <= width || picture.height <= height) return picture;
    const int sw = picture.width, sh = picture.height;
    Picture out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(static_cast<int64_t>(y) * sh / height);
        const int y1 = static_cast<int>(static_cast<int64_t>(y + 1) * sh / height);
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(static_cast<int64_t>(x) * sw / width);
            const int x1 = static_cast<int>(static_cast<int64_t>(x + 1) * sw / width);
            uint64_t r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const uint32_t* row = &picture.pixels[static_cast<size_t>(sy) * sw];
                for (int sx = x0; sx < x1; ++sx) {
                    const uint32_t p = row[sx];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++n;
                }
            }
            out.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(
                ((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n));
        }
    }
    return out;
}

}  // namespace quaff
