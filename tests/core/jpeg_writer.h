// Writes JPEG files with libjpeg's encoder, so tests and benchmarks make the pictures they
// decode instead of carrying binary files, and decodes them as the program does.
#pragma once

#include <jpeglib.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/jpeg_picture.h"

namespace quaff::test {

struct JpegSpec {
    int width = 0, height = 0;
    int quality = 90;
    bool progressive = false;
    // Components per pixel handed to `row`: 3 = RGB, 1 = grey, 4 = CMYK (stored with the Adobe
    // marker, inks inverted as Adobe's programs write them).
    int components = 3;
};

// `row(y, samples)` fills one row of width * components samples, top row first.
inline void WriteJpeg(const std::string& path, const JpegSpec& shape,
                      const std::function<void(int, JSAMPLE*)>& row) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);  // an encoder failure here is a broken test: libjpeg exits
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(shape.width);
    c.image_height = JDIMENSION(shape.height);
    c.input_components = shape.components;
    c.in_color_space = shape.components == 1   ? JCS_GRAYSCALE
                       : shape.components == 4 ? JCS_CMYK
                                               : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, shape.quality, TRUE);
    if (shape.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> samples(size_t(shape.width) * shape.components);
    while (c.next_scanline < c.image_height) {
        row(int(c.next_scanline), samples.data());
        JSAMPROW rows[] = {samples.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

// Decodes the file at `path` as the program decodes a picture file it opened.
inline Picture DecodeFileAt(const std::string& path, int drawWidth = 0, int drawHeight = 0,
                            size_t memoryBudget = kDefaultJpegBudget) {
    struct Opened {
        std::FILE* f;
        ~Opened() {
            if (f) std::fclose(f);
        }
    } opened{std::fopen(path.c_str(), "rb")};
    return DecodeJpegFile(opened.f, path, drawWidth, drawHeight, memoryBudget);
}

}  // namespace quaff::test
