// The frames the tray should show, for the end-to-end checks.
//   e2e_frame_dump <set>                      prints the sixteen frames of icon set <set>:
//                                             16 rows of 16 pixels, "RRGGBB" or "......"
//                                             where the glass is transparent
//   e2e_frame_dump --match <set> W H FILE     FILE holds W x H raw 8-bit RGB pixels of the
//                                             screen around the icon; prints the frames of
//                                             the set found there pixel for pixel (opaque
//                                             pixels by colour, transparent ones showing the
//                                             background, the colour at the first pixel)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/artwork.h"

namespace {

int To8(int c5) { return (c5 << 3) | (c5 >> 2); }

struct Rgb {
    int r, g, b;
};

Rgb PixelRgb(const quaff::Pixel& p) {
    return {To8((p.colour >> 10) & 31), To8((p.colour >> 5) & 31), To8(p.colour & 31)};
}

bool Near(Rgb a, Rgb b) {
    // The display may widen 5-bit components differently: allow that much.
    return std::abs(a.r - b.r) <= 8 && std::abs(a.g - b.g) <= 8 && std::abs(a.b - b.b) <= 8;
}

int Print(const quaff::IconSet& set) {
    for (int k = 0; k < quaff::kFramesPerSet; ++k) {
        quaff::Frame f = quaff::GlassFrame(set.drink, set.measure, k);
        std::printf("frame %d\n", k);
        for (int row = 0; row < quaff::Frame::kSize; ++row) {
            for (int col = 0; col < quaff::Frame::kSize; ++col) {
                const quaff::Pixel& p = f.at(row, col);
                Rgb c = PixelRgb(p);
                if (p.transparent)
                    std::printf("%s......", col ? " " : "");
                else
                    std::printf("%s%02X%02X%02X", col ? " " : "", c.r, c.g, c.b);
            }
            std::printf("\n");
        }
    }
    return 0;
}

int Match(const quaff::IconSet& set, int w, int h, const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> raw((std::istreambuf_iterator<char>(in)), {});
    if (w < 16 || h < 16 || raw.size() != size_t(w) * size_t(h) * 3) {
        std::fprintf(stderr, "expected %d x %d RGB pixels in %s\n", w, h, path);
        return 2;
    }
    auto at = [&](int x, int y) {
        size_t i = (size_t(y) * w + x) * 3;
        return Rgb{raw[i], raw[i + 1], raw[i + 2]};
    };
    const Rgb background = at(0, 0);
    std::string found;
    for (int k = 0; k < quaff::kFramesPerSet; ++k) {
        quaff::Frame f = quaff::GlassFrame(set.drink, set.measure, k);
        bool matched = false;
        for (int oy = 0; oy + 16 <= h && !matched; ++oy) {
            for (int ox = 0; ox + 16 <= w && !matched; ++ox) {
                bool ok = true;
                for (int row = 0; row < 16 && ok; ++row)
                    for (int col = 0; col < 16 && ok; ++col) {
                        const quaff::Pixel& p = f.at(row, col);
                        ok = Near(at(ox + col, oy + row), p.transparent ? background : PixelRgb(p));
                    }
                matched = ok;
            }
        }
        if (matched) found += (found.empty() ? "" : " ") + std::to_string(k);
    }
    if (found.empty()) {
        std::printf("none\n");
        return 1;
    }
    std::printf("%s\n", found.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) return Print(quaff::IconSetByNumber(std::atoi(argv[1])));
    if (argc == 6 && std::string(argv[1]) == "--match")
        return Match(quaff::IconSetByNumber(std::atoi(argv[2])), std::atoi(argv[3]),
                     std::atoi(argv[4]), argv[5]);
    std::fprintf(stderr, "usage: %s <set> | --match <set> W H FILE\n", argv[0]);
    return 2;
}
