#include "core/artwork.h"

#include <functional>
#include <span>
#include <stdexcept>
#include <string>

namespace quaff {

Colour555 LiquidColour(Drink drink) {
    switch (drink) {
        case Drink::Bitter:
            return 0x4200;  // olive: 16, 16, 0
        case Drink::Guiness:
            return 0x0000;  // black, the same as the outline
        case Drink::Lager:
            return 0x7FE0;  // yellow: 31, 31, 0
    }
    throw std::invalid_argument("unknown drink");
}

namespace {

// ---- The glass ------------------------------------------------------------------------

// Both walls of a glass stand on rows firstRow..lastRow, in columns leftCol and rightCol;
// everything between them is the interior that liquid and head fill.
struct WallRun {
    int firstRow, lastRow, leftCol, rightCol;
};

constexpr WallRun kLargeWalls[] = {
    {1, 6, 2, 12},   // the wide top: interior columns 3 to 11
    {7, 13, 3, 11},  // the body: interior columns 4 to 10
};
constexpr WallRun kSmallWalls[] = {
    {3, 13, 3, 11},  // straight: interior columns 4 to 10
};

struct GlassShape {
    std::span<const WallRun> walls;
    int baseRow, baseFirstCol, baseLastCol;  // neither glass has a rim line across the top
};

constexpr GlassShape kLargeGlass{kLargeWalls, 14, 3, 11};
constexpr GlassShape kSmallGlass{kSmallWalls, 14, 3, 11};

constexpr int kNone = -1;

// Liquid fills the interior from the bottom (row 13) up to and including liquidTop; the head
// fills the interior on rows headTop..headBottom.
struct Fill {
    int liquidTop, headTop, headBottom;
};

struct FillStep {
    Fill full, half;
};

constexpr FillStep kFillSteps[kFramesPerSet] = {
    //         Full                      Half
    /*  0 */ {{kNone, kNone, kNone}, {kNone, kNone, kNone}},
    /*  1 */ {{13, kNone, kNone}, {13, kNone, kNone}},
    /*  2 */ {{12, kNone, kNone}, {13, kNone, kNone}},
    /*  3 */ {{11, kNone, kNone}, {12, kNone, kNone}},
    /*  4 */ {{10, kNone, kNone}, {11, kNone, kNone}},
    /*  5 */ {{9, kNone, kNone}, {11, kNone, kNone}},
    /*  6 */ {{8, kNone, kNone}, {10, kNone, kNone}},
    /*  7 */ {{7, kNone, kNone}, {9, kNone, kNone}},
    /*  8 */ {{6, kNone, kNone}, {8, kNone, kNone}},
    /*  9 */ {{5, kNone, kNone}, {8, kNone, kNone}},
    /* 10 */ {{4, kNone, kNone}, {7, kNone, kNone}},
    /* 11 */ {{4, kNone, kNone}, {6, kNone, kNone}},
    /* 12 */ {{3, kNone, kNone}, {6, kNone, kNone}},
    /* 13 */ {{2, kNone, kNone}, {5, kNone, kNone}},
    /* 14 */ {{2, kNone, kNone}, {5, 4, 4}},
    /* 15 */ {{3, 1, 2}, {5, 3, 4}},  // the full glass: liquid settles under its head
};

}  // namespace

Frame GlassFrame(Drink drink, Measure measure, int frame) {
    if (frame < 0 || frame >= kFramesPerSet)
        throw std::out_of_range("no glass frame " + std::to_string(frame));
    const GlassShape& glass = measure == Measure::Full ? kLargeGlass : kSmallGlass;
    const Fill& fill = measure == Measure::Full ? kFillSteps[frame].full : kFillSteps[frame].half;

    Frame out;
    auto paint = [&out](int row, int col, Colour555 colour) { out.at(row, col) = {colour, false}; };
    for (const WallRun& run : glass.walls) {
        for (int row = run.firstRow; row <= run.lastRow; ++row) {
            paint(row, run.leftCol, kOutlineColour);
            paint(row, run.rightCol, kOutlineColour);
            Colour555 inside;
            if (fill.headTop != kNone && row >= fill.headTop && row <= fill.headBottom)
                inside = kHeadColour;
            else if (fill.liquidTop != kNone && row >= fill.liquidTop)
                inside = LiquidColour(drink);
            else
                continue;
            for (int col = run.leftCol + 1; col < run.rightCol; ++col) paint(row, col, inside);
        }
    }
    for (int col = glass.baseFirstCol; col <= glass.baseLastCol; ++col)
        paint(glass.baseRow, col, kOutlineColour);
    return out;
}

std::vector<bool> GlassInside(Measure measure) {
    std::vector<bool> inside(Frame::kSize * Frame::kSize, false);
    for (const WallRun& run : (measure == Measure::Full ? kLargeGlass : kSmallGlass).walls)
        for (int row = run.firstRow; row <= run.lastRow; ++row)
            for (int col = run.leftCol + 1; col < run.rightCol; ++col)
                inside[row * Frame::kSize + col] = true;
    return inside;
}

std::vector<bool> GlassOutline(Measure measure) {
    // Frame 0 is the bare glass.
    const Frame empty = GlassFrame(Drink::Bitter, measure, 0);
    std::vector<bool> outline;
    for (const Pixel& p : empty.pixels) outline.push_back(!p.transparent);
    return outline;
}

namespace {

// ---- Hand-drawn pictures --------------------------------------------------------------

// Palette indexes of the standard 16-colour palette used here.
enum : uint8_t { kBlack = 0, kOlive = 3, kGrey = 8, kYellow = 11, kWhite = 15 };

struct Ink {
    char symbol;
    uint8_t index;
    bool transparent;
};

// The program's icon, 32 by 32: a full glass of bitter, wider at the top, its head filling
// the top four rows inside the glass.
// clang-format off
constexpr Ink kMainIconInks[] = {
    {'.', kBlack, true}, {'K', kBlack, false}, {'O', kOlive, false}, {'W', kWhite, false}};
constexpr std::string_view kMainIconMap[] = {
    "................................",
    "................................",
    ".....KWWWWWWWWWWWWWWWWWWWWK.....",
    ".....KWWWWWWWWWWWWWWWWWWWWK.....",
    ".....KWWWWWWWWWWWWWWWWWWWWK.....",
    ".....KWWWWWWWWWWWWWWWWWWWWK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KOOOOOOOOOOOOOOOOOOOOK.....",
    ".....KKKKOOOOOOOOOOOOOOKKKK.....",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KOOOOOOOOOOOOOOK........",
    "........KKKKKKKKKKKKKKKK........",
    "........KKKKKKKKKKKKKKKK........",
    "................................",
};
// clang-format on

// The browse button's glyph, 32 by 16: left, for the enabled button, three yellow folders
// hanging from a black tree line, each followed by two dashes for its name; right, for the
// disabled button, the same tree in grey and white. The olive ground is drawn transparent.
// clang-format off
constexpr Ink kFolderGlyphInks[] = {{'.', kOlive, false}, {'K', kBlack, false},
                                    {'Y', kYellow, false}, {'G', kGrey, false},
                                    {'W', kWhite, false}};
constexpr std::string_view kFolderGlyphMap[] = {
    "................................",
    ".K.KKK...........G.GGG..........",
    ".K.KYYKKKK.......G.GWWGGGG......",
    ".KKKYYYYYK.KK.KK.GGGWWWWWG.GG.GG",
    ".K.KKKKKKK.......G.GGGGGGG......",
    ".K...............G..............",
    ".K.KKK...........G.GGG..........",
    ".K.KYYKKKK.......G.GWWGGGG......",
    ".KKKYYYYYK.KK.KK.GGGWWWWWG.GG.GG",
    ".K.KKKKKKK.......G.GGGGGGG......",
    ".K...............G..............",
    ".K.KKK...........G.GGG..........",
    ".K.KYYKKKK.......G.GWWGGGG......",
    ".KKKYYYYYK.KK.KK.GGGWWWWWG.GG.GG",
    "...KKKKKKK.........GGGGGGG......",
    "................................",
};
// clang-format on

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> index;     // palette index per pixel, rows from the top
    std::vector<bool> transparent;  // a transparent pixel has index kBlack
};

IndexedImage FromPixelMap(std::span<const std::string_view> rows, std::span<const Ink> inks) {
    IndexedImage image;
    image.height = static_cast<int>(rows.size());
    image.width = static_cast<int>(rows.front().size());
    for (std::string_view row : rows) {
        if (row.size() != rows.front().size()) throw std::logic_error("ragged pixel map");
        for (char symbol : row) {
            const Ink* ink = nullptr;
            for (const Ink& candidate : inks)
                if (candidate.symbol == symbol) ink = &candidate;
            if (!ink)
                throw std::logic_error(std::string("pixel map symbol without ink: ") + symbol);
            image.index.push_back(ink->index);
            image.transparent.push_back(ink->transparent);
        }
    }
    return image;
}

// ---- Stored forms ---------------------------------------------------------------------

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kStandardPalette[16] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};
constexpr Rgb kMaskPalette[2] = {{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}};

// The standard palette entry that shows a frame colour (all of them are on it).
uint8_t StandardPaletteIndex(Colour555 colour) {
    for (uint8_t i = 0; i < 16; ++i) {
        const Rgb& c = kStandardPalette[i];
        if (((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3)) == colour) return i;
    }
    throw std::logic_error("colour not on the standard palette");
}

class Bytes {
public:
    void u8(uint8_t v) { data_.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void text(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); }
    void zeros(size_t n) { data_.insert(data_.end(), n, 0); }
    size_t size() const { return data_.size(); }
    std::vector<uint8_t> take(size_t expectedSize) {
        if (data_.size() != expectedSize)
            throw std::logic_error("stored artwork has the wrong size");
        return std::move(data_);
    }

private:
    std::vector<uint8_t> data_;
};

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kStandardPaletteSize = 16 * 4;

uint32_t RowStride(int width, int bitsPerPixel) {
    return static_cast<uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

void PutFileHeader(Bytes& out, uint32_t sizeField, uint32_t pixelOffset) {
    out.text("BM");
    out.u32(sizeField);
    out.u16(0);
    out.u16(0);
    out.u32(pixelOffset);
}

void PutInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, uint32_t imageSize) {
    out.u32(kInfoHeaderSize);
    out.u32(static_cast<uint32_t>(width));
    out.u32(static_cast<uint32_t>(height));  // positive: bottom row first
    out.u16(1);                              // planes
    out.u16(static_cast<uint16_t>(bitsPerPixel));
    out.u32(0);  // no compression
    out.u32(imageSize);
    out.zeros(16);  // resolutions, colours used, colours important
}

void PutPalette(Bytes& out, std::span<const Rgb> palette) {
    for (const Rgb& c : palette) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
}

// Pixel rows as a BMP keeps them: bottom row first, each row padded to 32 bits, the leftmost
// pixel in the high bits of a byte; 16-bit pixels as little-endian words.
void PutRows(Bytes& out, int width, int height, int bitsPerPixel,
             const std::function<uint16_t(int row, int col)>& valueAt) {
    for (int row = height - 1; row >= 0; --row) {
        const size_t start = out.size();
        if (bitsPerPixel == 16) {
            for (int col = 0; col < width; ++col) out.u16(valueAt(row, col));
        } else {
            unsigned pending = 0;
            int bits = 0;
            for (int col = 0; col < width; ++col) {
                pending = pending << bitsPerPixel | valueAt(row, col);
                bits += bitsPerPixel;
                if (bits == 8) {
                    out.u8(static_cast<uint8_t>(pending));
                    pending = 0;
                    bits = 0;
                }
            }
            if (bits) out.u8(static_cast<uint8_t>(pending << (8 - bits)));
        }
        while ((out.size() - start) % 4) out.u8(0);
    }
}

// An icon file holding one 4-bit image with the standard palette and a 1-bit mask. The
// directory entry's colour count, planes and bit count differ between the program's two
// icons, so the caller gives them.
std::vector<uint8_t> IconFile(const IndexedImage& image, uint8_t colourCount, uint16_t planes,
                              uint16_t bitCount) {
    const int w = image.width, h = image.height;
    const uint32_t colourBits = RowStride(w, 4) * h;
    const uint32_t maskBits = RowStride(w, 1) * h;
    const uint32_t imageSize = kInfoHeaderSize + kStandardPaletteSize + colourBits + maskBits;
    constexpr uint32_t kImageOffset = 6 + 16;

    Bytes out;
    out.u16(0);  // reserved
    out.u16(1);  // an icon, not a cursor
    out.u16(1);  // one image
    out.u8(static_cast<uint8_t>(w));
    out.u8(static_cast<uint8_t>(h));
    out.u8(colourCount);
    out.u8(0);
    out.u16(planes);
    out.u16(bitCount);
    out.u32(imageSize);
    out.u32(kImageOffset);
    PutInfoHeader(out, w, 2 * h, 4, colourBits + maskBits);  // an icon counts both bitmaps' rows
    PutPalette(out, kStandardPalette);
    PutRows(out, w, h, 4, [&](int row, int col) { return image.index[row * w + col]; });
    PutRows(out, w, h, 1,
            [&](int row, int col) { return image.transparent[row * w + col] ? 1 : 0; });
    return out.take(kImageOffset + imageSize);
}

// The image-list stream header.
constexpr uint16_t kStreamVersion = 0x0101;
constexpr uint16_t kStreamCapacity = 19;  // room for 16 images and 3 more
constexpr uint16_t kStreamGrowth = 4;
constexpr uint32_t kNoBackground = 0xFFFFFFFF;
// 0x0001 a mask follows, 0x00FE colour depth as the display's, 0x1000 carried by every set.
constexpr uint16_t kStreamFlags = 0x10FF;
constexpr int16_t kNoOverlay = -1;

// Frames lie in 16 by 16 cells, four across and five down; the four cells after the
// sixteenth belong to no image.
constexpr int kCellsAcross = 4;
constexpr int kCellsDown = 5;
constexpr int kSheetWidth = kCellsAcross * Frame::kSize;
constexpr int kSheetHeight = kCellsDown * Frame::kSize;
constexpr size_t kStreamTrailerSize = 22;

}  // namespace

std::vector<uint8_t> IconSetStream(Drink drink, Measure measure) {
    std::array<Frame, kFramesPerSet> frames;
    for (int i = 0; i < kFramesPerSet; ++i) frames[i] = GlassFrame(drink, measure, i);
    auto sheetPixel = [&frames](int row, int col) -> Pixel {
        const int image = row / Frame::kSize * kCellsAcross + col / Frame::kSize;
        if (image >= kFramesPerSet) return {kOutlineColour, false};  // spare cells: black, opaque
        return frames[image].at(row % Frame::kSize, col % Frame::kSize);
    };

    Bytes out;
    out.text("IL");
    out.u16(kStreamVersion);
    out.u16(kFramesPerSet);
    out.u16(kStreamCapacity);
    out.u16(kStreamGrowth);
    out.u16(Frame::kSize);
    out.u16(Frame::kSize);
    out.u32(kNoBackground);
    out.u16(kStreamFlags);
    for (int i = 0; i < 4; ++i) out.u16(static_cast<uint16_t>(kNoOverlay));

    // The file headers' size fields hold the headers' size alone, as every stored set has it;
    // readers locate the pixels by the offset field.
    const uint32_t colourOffset = kFileHeaderSize + kInfoHeaderSize;
    PutFileHeader(out, colourOffset, colourOffset);
    PutInfoHeader(out, kSheetWidth, kSheetHeight, 16, RowStride(kSheetWidth, 16) * kSheetHeight);
    PutRows(out, kSheetWidth, kSheetHeight, 16,
            [&](int row, int col) { return sheetPixel(row, col).colour; });

    const uint32_t maskOffset = colourOffset + static_cast<uint32_t>(std::size(kMaskPalette) * 4);
    PutFileHeader(out, maskOffset, maskOffset);
    PutInfoHeader(out, kSheetWidth, kSheetHeight, 1, RowStride(kSheetWidth, 1) * kSheetHeight);
    PutPalette(out, kMaskPalette);
    PutRows(out, kSheetWidth, kSheetHeight, 1,
            [&](int row, int col) { return sheetPixel(row, col).transparent ? 1 : 0; });

    out.zeros(kStreamTrailerSize);
    return out.take(kIconSetStreamSize);
}

std::vector<uint8_t> MainIconFile() {
    return IconFile(FromPixelMap(kMainIconMap, kMainIconInks), 16, 1, 4);
}

std::vector<uint8_t> InitialTrayIconFile() {
    const Frame empty = GlassFrame(Drink::Bitter, Measure::Full, 0);
    IndexedImage image{Frame::kSize, Frame::kSize, {}, {}};
    for (const Pixel& p : empty.pixels) {
        image.index.push_back(StandardPaletteIndex(p.colour));
        image.transparent.push_back(p.transparent);
    }
    // The directory entry reads colour count 4, planes 0 and bit count 0, as the component's
    // stored icon has always had it; readers take the depth from the image header.
    return IconFile(image, 4, 0, 0);
}

std::vector<uint8_t> FolderGlyphBmp() {
    const IndexedImage glyph = FromPixelMap(kFolderGlyphMap, kFolderGlyphInks);
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + kStandardPaletteSize;
    const uint32_t pixelBytes = RowStride(glyph.width, 4) * glyph.height;
    Bytes out;
    PutFileHeader(out, pixelOffset + pixelBytes, pixelOffset);
    PutInfoHeader(out, glyph.width, glyph.height, 4, pixelBytes);
    PutPalette(out, kStandardPalette);
    PutRows(out, glyph.width, glyph.height, 4,
            [&](int row, int col) { return glyph.index[row * glyph.width + col]; });
    return out.take(kFolderGlyphSize);
}

}  // namespace quaff
