// Decoding a JPEG file into the pixels the monitor window stretches over its picture area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quaff {

// A decoded picture: 0x00RRGGBB pixels in top-down rows, the layout a 32-bit BGRA DIB wants.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    bool empty() const { return pixels.empty(); }
};

// Bytes one decode may use: the output pixels plus the decoder's own working memory.
// 160 MiB shows any photo a camera makes at the monitor's size, even a 48-megapixel file saved
// progressive (about 140 MiB of coefficients, which the decoder must hold whole), and still
// allows a full-size decode of 24 megapixels (92 MiB of pixels). A header claiming more, such as
// 60000 x 60000 pixels (225 MB of pixels even at 1/8 scale), is refused before anything large is
// allocated.
inline constexpr size_t kDefaultJpegBudget = size_t{160} << 20;

// A progressive file with more scans than this is refused: no real encoder writes that many,
// and each scan costs a pass over the whole picture, so a crafted file could hang the window.
inline constexpr int kMaxJpegScans = 500;

// Decodes a file the caller opened for reading in binary mode (and closes), or null when it
// could not be opened, at the smallest DCT scale, 1/8 to 8/8, whose output still covers
// drawWidth x drawHeight; a draw size that is unknown (0 or less in either direction) decodes
// at full size. `name` names the file in the reports (the caller opens it by whatever name
// its system takes).
//  - the file could not be opened or cannot be read (missing, a folder, locked):
//    FileOpenError "Cannot open file <name>";
//  - a zero-length file: an empty Picture, nothing thrown (the caller keeps what it shows);
//  - the decoder fails: JpegError "JPEG error #<libjpeg message number>";
//  - more memory needed than memoryBudget: JpegError "JPEG image too large: W x H pixels";
//  - a file that ends early decodes what it holds; the rest of the picture is grey.
Picture DecodeJpegFile(std::FILE* file, const std::string& name, int drawWidth, int drawHeight,
                       size_t memoryBudget = kDefaultJpegBudget);

}  // namespace quaff
