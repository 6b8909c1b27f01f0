// The artwork as the program gets it: the streams built into the executable, read by the real
// image-list reader, and every frame read back through an icon, pixel by pixel, against what
// each glass must show.
#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares ImageList_Read only with IStream
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/icon_sets.h"
#include "resources/resource_names.h"
#include "win/handles.h"

namespace {

using quaff::win::ComPtr;
using quaff::win::ScreenDC;
using quaff::win::UniqueBitmap;
using quaff::win::UniqueIcon;
using quaff::win::UniqueImageList;

// The empty glasses. '.' transparent, 'K' black, ':' inside the glass (transparent while
// nothing fills it).
const char* const kLargeGlass[16] = {
    "................", "..K:::::::::K...", "..K:::::::::K...", "..K:::::::::K...",
    "..K:::::::::K...", "..K:::::::::K...", "..K:::::::::K...", "...K:::::::K....",
    "...K:::::::K....", "...K:::::::K....", "...K:::::::K....", "...K:::::::K....",
    "...K:::::::K....", "...K:::::::K....", "...KKKKKKKKK....", "................",
};
const char* const kSmallGlass[16] = {
    "................", "................", "................", "...K:::::::K....",
    "...K:::::::K....", "...K:::::::K....", "...K:::::::K....", "...K:::::::K....",
    "...K:::::::K....", "...K:::::::K....", "...K:::::::K....", "...K:::::::K....",
    "...K:::::::K....", "...K:::::::K....", "...KKKKKKKKK....", "................",
};

// By frame: liquid from row 13 up to `liquid` (0: empty), head on rows headFrom..headTo
// (0: none).
struct Fill {
    int liquid, headFrom, headTo;
};
const Fill kFullFill[16] = {{0, 0, 0}, {13, 0, 0}, {12, 0, 0}, {11, 0, 0}, {10, 0, 0}, {9, 0, 0},
                            {8, 0, 0}, {7, 0, 0},  {6, 0, 0},  {5, 0, 0},  {4, 0, 0},  {4, 0, 0},
                            {3, 0, 0}, {2, 0, 0},  {2, 0, 0},  {3, 1, 2}};
const Fill kHalfFill[16] = {{0, 0, 0},  {13, 0, 0}, {13, 0, 0}, {12, 0, 0}, {11, 0, 0}, {11, 0, 0},
                            {10, 0, 0}, {9, 0, 0},  {8, 0, 0},  {8, 0, 0},  {7, 0, 0},  {6, 0, 0},
                            {6, 0, 0},  {5, 0, 0},  {5, 4, 4},  {5, 3, 4}};

// Colours as 5-bit red, green, blue packed 0x00RRGGBB; the read-back pixels are reduced to
// the same 5 bits per component.
constexpr uint32_t kBlack = 0x000000, kWhite = 0x1F1F1F, kOlive = 0x101000, kYellow = 0x1F1F00;
constexpr uint32_t kTransparent = 0xFFFFFFFF;

// By icon-set number: the streams are looked up by the names the icon-set table gives them.
struct SetCase {
    int number;
    const char* const* glass;
    const Fill* fill;
    uint32_t liquid;
};
const SetCase kSets[] = {
    {0, kLargeGlass, kFullFill, kOlive},  {1, kSmallGlass, kHalfFill, kOlive},
    {2, kLargeGlass, kFullFill, kBlack},  {3, kSmallGlass, kHalfFill, kBlack},
    {4, kLargeGlass, kFullFill, kYellow}, {5, kSmallGlass, kHalfFill, kYellow},
};

uint32_t Expected(const SetCase& set, int frame, int row, int col) {
    const char c = set.glass[row][col];
    if (c == 'K') return kBlack;
    if (c == '.') return kTransparent;
    const Fill& f = set.fill[frame];
    if (f.headFrom && row >= f.headFrom && row <= f.headTo) return kWhite;
    if (f.liquid && row >= f.liquid) return set.liquid;
    return kTransparent;
}

// A bitmap's pixels as 0x00RRGGBB, rows from the top; empty when it cannot be read.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    ScreenDC dc;
    if (GetDIBits(dc.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        pixels.clear();
    return pixels;
}

// An icon's pixels: colour reduced to 5 bits a component, or kTransparent where the mask is
// set. Empty when the icon is not `size` square.
std::vector<uint32_t> IconPixels(HICON icon, int size) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP shape{};
    if (!colour || !GetObject(colour.get(), sizeof shape, &shape) || shape.bmWidth != size ||
        shape.bmHeight != size)
        return {};
    std::vector<uint32_t> pixels = Pixels(colour.get(), size, size);
    const std::vector<uint32_t> transparent = Pixels(mask.get(), size, size);
    if (pixels.empty() || transparent.size() != pixels.size()) return {};
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        pixels[i] = (transparent[i] & 0xFFFFFF)
                        ? kTransparent
                        : (p >> 19 & 0x1F) << 16 | (p >> 11 & 0x1F) << 8 | (p >> 3 & 0x1F);
    }
    return pixels;
}

UniqueImageList ReadSet(const char* name) {
    const HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, name, RT_RCDATA);
    if (!res) return {};
    const void* bytes = LockResource(LoadResource(module, res));
    const ComPtr<IStream> stream{
        SHCreateMemStream(static_cast<const BYTE*>(bytes), SizeofResource(module, res))};
    if (!stream) return {};
    return UniqueImageList(ImageList_Read(stream.get()));
}

std::string Picture(const std::vector<uint32_t>& pixels, int size) {
    std::string out;
    for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
        const uint32_t p = pixels[i];
        out += p == kTransparent ? '.'
               : p == kBlack     ? 'K'
               : p == kWhite     ? 'W'
               : p == kOlive     ? 'O'
               : p == kYellow    ? 'Y'
                                 : '?';
        if (i % size == size - 1) out += '\n';
    }
    return out;
}

TEST(ArtworkResources, EveryIconSetReadsBackAsItsSixteenGlasses) {
    for (const SetCase& set : kSets) {
        const char* resource = quaff::kIconSets[set.number].resourceName;
        SCOPED_TRACE(resource);
        UniqueImageList list = ReadSet(resource);
        ASSERT_TRUE(list) << "ImageList_Read gave no list";
        EXPECT_EQ(ImageList_GetImageCount(list.get()), 16);
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(list.get(), &cx, &cy));
        EXPECT_EQ(cx, 16);
        EXPECT_EQ(cy, 16);
        EXPECT_EQ(ImageList_GetBkColor(list.get()), CLR_NONE);
        for (int frame = 0; frame < 16; ++frame) {
            UniqueIcon icon(ImageList_GetIcon(list.get(), frame, 0));
            const std::vector<uint32_t> got = IconPixels(icon.get(), 16);
            ASSERT_EQ(got.size(), 256u) << "frame " << frame << " did not come out as a 16x16 icon";
            std::vector<uint32_t> want(256);
            for (int i = 0; i < 256; ++i) want[i] = Expected(set, frame, i / 16, i % 16);
            // The expected picture holds only the five known colours; anything else shows as '?'.
            EXPECT_EQ(Picture(got, 16), Picture(want, 16)) << "frame " << frame;
        }
    }
}

TEST(ArtworkResources, TrayIconIsTheEmptyLargeGlassPixelForPixel) {
    UniqueIcon tray(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), QUAFF_RES_TRAY_ICON, IMAGE_ICON, 16, 16, 0)));
    ASSERT_TRUE(tray);
    UniqueImageList list = ReadSet(quaff::IconSetByNumber(0).resourceName);
    ASSERT_TRUE(list);
    UniqueIcon frame0(ImageList_GetIcon(list.get(), 0, 0));
    const std::vector<uint32_t> got = IconPixels(tray.get(), 16);
    ASSERT_EQ(got.size(), 256u);
    EXPECT_EQ(Picture(got, 16), Picture(IconPixels(frame0.get(), 16), 16));
    EXPECT_EQ(got, IconPixels(frame0.get(), 16));
}

TEST(ArtworkResources, MainIconIsAThirtyTwoPixelGlassOfBitter) {
    UniqueIcon icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), QUAFF_RES_MAIN_ICON, IMAGE_ICON, 32, 32, 0)));
    const std::vector<uint32_t> got = IconPixels(icon.get(), 32);
    ASSERT_EQ(got.size(), 32u * 32u);
    const std::string picture = Picture(got, 32);
    EXPECT_EQ(picture.find('?'), std::string::npos) << picture;
    for (char c : std::string("KWO"))
        EXPECT_NE(picture.find(c), std::string::npos) << c << "\n" << picture;
    for (size_t corner : {0u, 31u, 31u * 32u, 32u * 32u - 1u}) EXPECT_EQ(got[corner], kTransparent);
    // The head lies above the liquid.
    EXPECT_LT(picture.rfind('W'), picture.find('O')) << picture;
    // And the loader finds it by name at the default icon size too.
    UniqueIcon byDefault(LoadIconA(GetModuleHandleA(nullptr), QUAFF_RES_MAIN_ICON));
    EXPECT_TRUE(byDefault);
}

TEST(ArtworkResources, FolderGlyphIsTwoGlyphsOnAnOliveGround) {
    UniqueBitmap glyph(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), QUAFF_RES_FOLDER_GLYPH,
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(glyph);
    BITMAP shape{};
    ASSERT_TRUE(GetObject(glyph.get(), sizeof shape, &shape));
    EXPECT_EQ(shape.bmWidth, 32);
    EXPECT_EQ(shape.bmHeight, 16);
    const std::vector<uint32_t> pixels = Pixels(glyph.get(), 32, 16);
    ASSERT_EQ(pixels.size(), 32u * 16u);
    EXPECT_EQ(pixels[15 * 32] & 0xFFFFFF, 0x808000u) << "the bottom-left pixel gives the ground";
}

}  // namespace
