#include "core/artwork.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <stdexcept>

namespace quaff {
namespace {

uint32_t Read(const std::vector<uint8_t>& b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

// A pixel value of an uncompressed BMP whose rows start at `bits`, bottom row first.
uint32_t BmpPixel(const std::vector<uint8_t>& b, size_t bits, int width, int height, int bpp,
                  int row, int col) {
    const size_t stride = (width * bpp + 31) / 32 * 4;
    const size_t line = bits + stride * (height - 1 - row);
    if (bpp == 16) return Read(b, line + col * 2, 2);
    const int perByte = 8 / bpp;
    const int shift = 8 - bpp * (col % perByte + 1);
    return b.at(line + col / perByte) >> shift & ((1u << bpp) - 1);
}

uint32_t PaletteRgb(const std::vector<uint8_t>& b, size_t palette, uint32_t index) {
    return Read(b, palette + index * 4, 4);  // 0x00RRGGBB
}

constexpr Drink kDrinks[] = {Drink::Bitter, Drink::Guiness, Drink::Lager};
constexpr Measure kMeasures[] = {Measure::Full, Measure::Half};

TEST(IconSetStream, HeadersAndTrailerAreLaidOutForTheImageListReader) {
    struct Field {
        size_t at;
        int size;
        uint32_t value;
        const char* what;
    };
    const Field fields[] = {
        {0, 2, 0x4C49, "magic IL"},
        {2, 2, 0x0101, "version"},
        {4, 2, 16, "image count"},
        {6, 2, 19, "capacity"},
        {8, 2, 4, "growth"},
        {10, 2, 16, "width"},
        {12, 2, 16, "height"},
        {14, 4, 0xFFFFFFFF, "no background"},
        {18, 2, 0x10FF, "flags"},
        {20, 4, 0xFFFFFFFF, "overlays 1, 2"},
        {24, 4, 0xFFFFFFFF, "overlays 3, 4"},
        // colour bitmap
        {28, 2, 0x4D42, "BM"},
        {30, 4, 54, "colour size field"},
        {34, 4, 0, "reserved"},
        {38, 4, 54, "colour offset"},
        {42, 4, 40, "info size"},
        {46, 4, 64, "sheet width"},
        {50, 4, 80, "sheet height"},
        {54, 2, 1, "planes"},
        {56, 2, 16, "16 bits"},
        {58, 4, 0, "no compression"},
        {62, 4, 10240, "colour bytes"},
        {66, 16, 0, "rest zero"},
        // mask bitmap
        {10322, 2, 0x4D42, "BM"},
        {10324, 4, 62, "mask size field"},
        {10328, 4, 0, "reserved"},
        {10332, 4, 62, "mask offset"},
        {10336, 4, 40, "info size"},
        {10340, 4, 64, "width"},
        {10344, 4, 80, "height"},
        {10348, 2, 1, "planes"},
        {10350, 2, 1, "1 bit"},
        {10352, 4, 0, "no compression"},
        {10356, 4, 640, "mask bytes"},
        {10376, 4, 0x000000, "black"},
        {10380, 4, 0xFFFFFF, "then white"},
    };
    for (Drink drink : kDrinks)
        for (Measure measure : kMeasures) {
            const std::vector<uint8_t> s = IconSetStream(drink, measure);
            ASSERT_EQ(s.size(), 11046u);
            for (const Field& f : fields) {
                if (f.size > 4) {  // a run of zero bytes
                    for (int i = 0; i < f.size; ++i) EXPECT_EQ(s[f.at + i], 0) << f.what;
                } else {
                    EXPECT_EQ(Read(s, f.at, f.size), f.value) << f.what << " at " << f.at;
                }
            }
            for (size_t i = 11024; i < s.size(); ++i) EXPECT_EQ(s[i], 0) << "trailer byte " << i;
        }
}

TEST(IconSetStream, CellsHoldTheFramesInOrderAndSpareCellsAreBlackAndOpaque) {
    for (Drink drink : kDrinks)
        for (Measure measure : kMeasures) {
            const std::vector<uint8_t> s = IconSetStream(drink, measure);
            for (int image = 0; image < 20; ++image) {
                const bool spare = image >= kFramesPerSet;
                const Frame frame = spare ? Frame{} : GlassFrame(drink, measure, image);
                for (int r = 0; r < 16; ++r)
                    for (int c = 0; c < 16; ++c) {
                        const int row = image / 4 * 16 + r, col = image % 4 * 16 + c;
                        const Pixel want = spare ? Pixel{0, false} : frame.at(r, c);
                        const Pixel got{
                            static_cast<Colour555>(BmpPixel(s, 82, 64, 80, 16, row, col)),
                            BmpPixel(s, 10384, 64, 80, 1, row, col) == 1};
                        ASSERT_EQ(got, want) << "image " << image << " row " << r << " col " << c;
                    }
            }
        }
}

// The topmost row holding liquid or head, 16 for an empty glass.
int Level(const Frame& f) {
    for (int row = 0; row < 14; ++row)
        for (int col = 0; col < 16; ++col)
            if (!f.at(row, col).transparent && f.at(row, col).colour != kOutlineColour) return row;
    return 16;
}

TEST(GlassFrame, OnlyTheStatedNeighboursAreIdenticalAndTheLevelNeverFalls) {
    const std::set<int> fullRepeats = {10, 13}, halfRepeats = {1, 4, 8, 11};
    for (Measure measure : kMeasures) {
        const auto& repeats = measure == Measure::Full ? fullRepeats : halfRepeats;
        for (int k = 0; k + 1 < kFramesPerSet; ++k) {
            const Frame a = GlassFrame(Drink::Bitter, measure, k);
            const Frame b = GlassFrame(Drink::Bitter, measure, k + 1);
            EXPECT_EQ(a == b, repeats.count(k) == 1) << "frames " << k << " and " << k + 1;
            if (k >= 1 && k + 1 <= 14) {
                EXPECT_LE(Level(b), Level(a)) << "frame " << k + 1;
            }
        }
        EXPECT_EQ(Level(GlassFrame(Drink::Bitter, measure, 0)), 16) << "frame 0 is empty";
        EXPECT_EQ(Level(GlassFrame(Drink::Bitter, measure, 1)), 13);
    }
}

TEST(GlassFrame, DrinksOfOneMeasureDifferOnlyInLiquidColour) {
    for (Measure measure : kMeasures)
        for (int k = 0; k < kFramesPerSet; ++k) {
            const Frame bitter = GlassFrame(Drink::Bitter, measure, k);
            const Frame guiness = GlassFrame(Drink::Guiness, measure, k);
            const Frame lager = GlassFrame(Drink::Lager, measure, k);
            for (size_t i = 0; i < bitter.pixels.size(); ++i) {
                const Pixel b = bitter.pixels[i], g = guiness.pixels[i], l = lager.pixels[i];
                ASSERT_TRUE(b.transparent == g.transparent && b.transparent == l.transparent) << i;
                if (b.transparent) {
                    ASSERT_EQ(b.colour | g.colour | l.colour, 0) << "stored black";
                }
                const bool liquid = b.colour == LiquidColour(Drink::Bitter);
                ASSERT_EQ(liquid, l.colour == LiquidColour(Drink::Lager))
                    << "frame " << k << " " << i;
                if (liquid) {
                    ASSERT_EQ(g.colour, LiquidColour(Drink::Guiness));
                } else {
                    ASSERT_TRUE(b.colour == g.colour && b.colour == l.colour)
                        << "frame " << k << " " << i;
                }
            }
        }
}

TEST(GlassFrame, HeadAndLiquidSitWhereTheGlassShowsThem) {
    struct Probe {
        Drink drink;
        Measure measure;
        int frame, row, col;
        Pixel want;
    };
    const Pixel transparent{0, true}, black{0, false}, white{0x7FFF, false}, olive{0x4200, false},
        yellow{0x7FE0, false};
    const Probe probes[] = {
        {Drink::Guiness, Measure::Full, 15, 1, 3, white},   // head across the wide top
        {Drink::Guiness, Measure::Full, 15, 3, 11, black},  // black liquid under it
        {Drink::Bitter, Measure::Full, 8, 6, 3, olive},     // the liquid reaches the wide part
        {Drink::Bitter, Measure::Full, 7, 6, 3, transparent},
        {Drink::Bitter, Measure::Full, 14, 1, 7, transparent},  // no head before frame 15
        {Drink::Lager, Measure::Half, 14, 4, 4, white},         // the head's first row
        {Drink::Lager, Measure::Half, 14, 3, 4, transparent},
        {Drink::Lager, Measure::Half, 15, 3, 10, white},
        {Drink::Lager, Measure::Half, 15, 5, 10, yellow},
        {Drink::Lager, Measure::Half, 15, 2, 3, transparent},  // above the short walls
        {Drink::Bitter, Measure::Half, 0, 14, 3, black},       // the base
        {Drink::Bitter, Measure::Full, 0, 0, 2, transparent},  // no rim line
    };
    for (const Probe& p : probes)
        EXPECT_EQ(GlassFrame(p.drink, p.measure, p.frame).at(p.row, p.col), p.want)
            << "frame " << p.frame << " row " << p.row << " col " << p.col;
    EXPECT_THROW(GlassFrame(Drink::Bitter, Measure::Full, 16), std::out_of_range);
    EXPECT_THROW(GlassFrame(Drink::Bitter, Measure::Full, -1), std::out_of_range);
}

TEST(IconFiles, DirectoryAndImageHeadersAreAsStored) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        size_t size;
        int side;
        uint32_t colours, planes, bits, bytes;
    };
    const Case cases[] = {
        {"tray", InitialTrayIconFile(), 318, 16, 4, 0, 0, 296},
        {"main", MainIconFile(), 766, 32, 16, 1, 4, 744},
    };
    for (const Case& c : cases) {
        const auto& f = c.file;
        ASSERT_EQ(f.size(), c.size) << c.name;
        EXPECT_EQ(Read(f, 0, 4), 0x00010000u) << c.name;  // reserved, type icon
        EXPECT_EQ(Read(f, 4, 2), 1u) << c.name;
        EXPECT_EQ(f[6], c.side);
        EXPECT_EQ(f[7], c.side);
        EXPECT_EQ(f[8], c.colours) << c.name;
        EXPECT_EQ(Read(f, 10, 2), c.planes) << c.name;
        EXPECT_EQ(Read(f, 12, 2), c.bits) << c.name;
        EXPECT_EQ(Read(f, 14, 4), c.bytes) << c.name;
        EXPECT_EQ(Read(f, 18, 4), 22u) << c.name;
        EXPECT_EQ(Read(f, 26, 4), uint32_t(c.side)) << c.name;
        EXPECT_EQ(Read(f, 30, 4), uint32_t(2 * c.side)) << c.name;
        EXPECT_EQ(Read(f, 36, 2), 4u) << c.name;
        EXPECT_EQ(PaletteRgb(f, 62, 3), 0x808000u) << "olive on the standard palette";
        EXPECT_EQ(PaletteRgb(f, 62, 11), 0xFFFF00u) << "yellow";
    }
}

TEST(IconFiles, TrayIconIsTheEmptyLargeGlass) {
    const std::vector<uint8_t> f = InitialTrayIconFile();
    const Frame empty = GlassFrame(Drink::Bitter, Measure::Full, 0);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const Pixel& want = empty.at(r, c);
            EXPECT_EQ(BmpPixel(f, 22 + 40 + 64 + 128, 16, 16, 1, r, c) == 1, want.transparent);
            EXPECT_EQ(PaletteRgb(f, 62, BmpPixel(f, 22 + 40 + 64, 16, 16, 4, r, c)), 0u);
        }
}

TEST(IconFiles, MainIconIsAFullGlassOfBitterWiderAtTheTop) {
    const std::vector<uint8_t> f = MainIconFile();
    auto opaque = [&](int r, int c) {
        return BmpPixel(f, 22 + 40 + 64 + 512, 32, 32, 1, r, c) == 0;
    };
    auto rgb = [&](int r, int c) {
        return PaletteRgb(f, 62, BmpPixel(f, 22 + 40 + 64, 32, 32, 4, r, c));
    };
    std::vector<int> widths;  // of each row of the glass, from the top
    for (int r = 0; r < 32; ++r) {
        int first = -1, last = -1;
        for (int c = 0; c < 32; ++c) {
            if (!opaque(r, c))
                EXPECT_EQ(rgb(r, c), 0u) << "transparent pixels are black";
            else if (first < 0)
                first = last = c;
            else
                last = c;
        }
        if (first < 0) continue;
        widths.push_back(last - first);
        EXPECT_EQ(rgb(r, first) | rgb(r, last), 0u) << "black outline, row " << r;
        for (int c = first + 1; c < last && widths.size() <= 5; ++c) {  // four rows of head
            EXPECT_EQ(rgb(r, c), widths.size() <= 4 ? 0xFFFFFFu : 0x808000u) << r << "," << c;
        }
    }
    EXPECT_FALSE(opaque(0, 0) || opaque(0, 31) || opaque(31, 0) || opaque(31, 31));
    ASSERT_GT(widths.size(), 16u);
    EXPECT_GT(widths.front(), widths.back());
}

TEST(FolderGlyph, TwoGlyphsOfOneTreeOnAnOliveGround) {
    const std::vector<uint8_t> f = FolderGlyphBmp();
    ASSERT_EQ(f.size(), 374u);
    EXPECT_EQ(Read(f, 2, 4), 374u);
    EXPECT_EQ(Read(f, 10, 4), 118u);
    EXPECT_EQ(Read(f, 18, 4), 32u);
    EXPECT_EQ(Read(f, 22, 4), 16u);
    EXPECT_EQ(Read(f, 28, 2), 4u);
    auto rgb = [&](int r, int c) { return PaletteRgb(f, 54, BmpPixel(f, 118, 32, 16, 4, r, c)); };
    const uint32_t ground = rgb(15, 0);
    EXPECT_EQ(ground, 0x808000u);
    const std::set<uint32_t> enabledInks = {ground, 0x000000, 0xFFFF00},
                             disabledInks = {ground, 0x808080, 0xFFFFFF};
    std::set<uint32_t> enabledSeen, disabledSeen;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            enabledSeen.insert(rgb(r, c));
            disabledSeen.insert(rgb(r, c + 16));
            EXPECT_EQ(rgb(r, c) == ground, rgb(r, c + 16) == ground)
                << "same tree at " << r << "," << c;
        }
    EXPECT_EQ(enabledSeen, enabledInks);
    EXPECT_EQ(disabledSeen, disabledInks);
}

TEST(IconSetByNumber, UnknownNumbersFallBackToBitterFull) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "Bitter Full"}, {1, "Bitter Half"},       {2, "Guiness Full"},     {3, "Guiness Half"},
        {4, "Lager Full"},  {5, "Lager Half"},        {-1, "Bitter Full"},     {6, "Bitter Full"},
        {7, "Bitter Full"}, {INT_MIN, "Bitter Full"}, {INT_MAX, "Bitter Full"}};
    for (const auto& [number, text] : cases)
        EXPECT_EQ(IconSetByNumber(number).itemText, text) << number;
    EXPECT_EQ(IconSetByNumber(3).drink, Drink::Guiness);
    EXPECT_EQ(IconSetByNumber(3).measure, Measure::Half);
}

}  // namespace
}  // namespace quaff
