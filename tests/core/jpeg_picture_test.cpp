#include "core/jpeg_picture.h"

#include <gtest/gtest.h>
#include <jerror.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#endif

#include "core/errors.h"
#include "jpeg_writer.h"

namespace quaff {
namespace {

namespace fs = std::filesystem;
using test::JpegSpec;
using test::WriteJpeg;

struct Rgb {
    int r, g, b;
};

// Four flat quadrants: red, green / blue, white. Flat areas survive compression and scaling
// with only small errors, so their centres can be checked at any decoded size.
Rgb Quadrant(int x, int y, int w, int h) {
    const bool right = x >= w / 2, bottom = y >= h / 2;
    if (!bottom) return right ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
    return right ? Rgb{255, 255, 255} : Rgb{0, 0, 255};
}

int Luma(Rgb c) { return (299 * c.r + 587 * c.g + 114 * c.b + 500) / 1000; }

// Writes the quadrant picture with the samples each kind of file stores.
void WriteQuadrants(const std::string& path, JpegSpec shape) {
    WriteJpeg(path, shape, [&](int y, JSAMPLE* s) {
        for (int x = 0; x < shape.width; ++x) {
            const Rgb c = Quadrant(x, y, shape.width, shape.height);
            JSAMPLE* p = s + x * shape.components;
            if (shape.components == 1) {
                p[0] = JSAMPLE(Luma(c));
            } else {
                p[0] = JSAMPLE(c.r), p[1] = JSAMPLE(c.g), p[2] = JSAMPLE(c.b);
                if (shape.components == 4) p[3] = 255;  // inverted inks: no black
            }
        }
    });
}

// Checks the centre of each quadrant of a decoded quadrant picture.
void ExpectQuadrants(const Picture& pic, bool grey) {
    const int tolerance = 12;
    for (int qy = 0; qy < 2; ++qy)
        for (int qx = 0; qx < 2; ++qx) {
            const int x = pic.width / 4 + qx * pic.width / 2,
                      y = pic.height / 4 + qy * pic.height / 2;
            Rgb want = Quadrant(x, y, pic.width, pic.height);
            if (grey) want = {Luma(want), Luma(want), Luma(want)};
            const uint32_t p = pic.pixels[size_t(y) * pic.width + x];
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            EXPECT_NEAR(int(p >> 16 & 0xFF), want.r, tolerance);
            EXPECT_NEAR(int(p >> 8 & 0xFF), want.g, tolerance);
            EXPECT_NEAR(int(p & 0xFF), want.b, tolerance);
        }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The frame header of a baseline file: FF C0, length, precision, height, width.
size_t FrameHeader(const std::string& jpeg) { return jpeg.find("\xFF\xC0"); }

void SetDimensions(std::string& jpeg, unsigned width, unsigned height) {
    const size_t sof = FrameHeader(jpeg);
    jpeg[sof + 5] = char(height >> 8), jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8), jpeg[sof + 8] = char(width & 0xFF);
}

class JpegPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        dir_ =
            fs::temp_directory_path() / ("quaff_jpeg_" + name + "_" + std::to_string(std::rand()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Quadrants(JpegSpec shape, const std::string& name = "q.jpg") {
        WriteQuadrants(Path(name), shape);
        return Path(name);
    }

    fs::path dir_;
};

TEST_F(JpegPictureTest, DecodesEveryKindOfFileToItsSizeAndColours) {
    struct Case {
        const char* name;
        JpegSpec shape;
    };
    const Case cases[] = {
        {"baseline colour", {64, 48, 90, false, 3}},
        {"progressive colour", {64, 48, 90, true, 3}},
        {"greyscale", {64, 48, 90, false, 1}},
        {"CMYK from Adobe", {64, 48, 90, false, 4}},
        {"odd size, lower quality", {45, 29, 75, false, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture pic = test::DecodeFileAt(Quadrants(c.shape));
        ASSERT_EQ(pic.width, c.shape.width);
        ASSERT_EQ(pic.height, c.shape.height);
        ASSERT_EQ(pic.pixels.size(), size_t(c.shape.width) * c.shape.height);
        ExpectQuadrants(pic, c.shape.components == 1);
        for (uint32_t p : pic.pixels) ASSERT_EQ(p >> 24, 0u) << "the top byte of a pixel is zero";
    }
}

TEST_F(JpegPictureTest, DecodesAtTheSmallestScaleThatCoversTheDrawSize) {
    // 801 x 601 at n/8 is ceil(801n/8) x ceil(601n/8): 101x76, 201x151, 301x226, 401x301,
    // 501x376...
    const std::string path = Quadrants({801, 601});
    struct Case {
        int drawW, drawH, wantW, wantH;
    };
    const Case cases[] = {
        {0, 0, 801, 601},        // size unknown
        {-1, 300, 801, 601},     // one side unknown
        {406, 0, 801, 601},      //
        {100, 75, 101, 76},      // 1/8 covers it
        {101, 76, 101, 76},      // exactly 1/8
        {102, 76, 201, 151},     // one column more needs 2/8
        {406, 283, 501, 376},    // the monitor's picture area
        {50, 300, 401, 301},     // the height decides
        {800, 600, 801, 601},    //
        {2000, 2000, 801, 601},  // never enlarged: the window stretches it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.drawW) + " x " + std::to_string(c.drawH));
        const Picture pic = test::DecodeFileAt(path, c.drawW, c.drawH);
        EXPECT_EQ(pic.width, c.wantW);
        EXPECT_EQ(pic.height, c.wantH);
        ExpectQuadrants(pic, false);
    }
}

TEST_F(JpegPictureTest, ZeroLengthFileGivesAnEmptyPicture) {
    WriteBytes(Path("empty.jpg"), "");
    Picture pic;
    EXPECT_NO_THROW(pic = test::DecodeFileAt(Path("empty.jpg"), 406, 283));
    EXPECT_TRUE(pic.empty());
}

TEST_F(JpegPictureTest, FileThatEndsEarlyShowsWhatItHoldsAndGreyBelow) {
    // A picture with detail everywhere, so its data is spread evenly over the rows.
    const JpegSpec shape{128, 128};
    WriteJpeg(Path("full.jpg"), shape, [&](int y, JSAMPLE* s) {
        for (int x = 0; x < shape.width; ++x)
            s[3 * x] = JSAMPLE(200 + (x * 7 + y * 3) % 40), s[3 * x + 1] = JSAMPLE(x * 13 % 60),
                  s[3 * x + 2] = JSAMPLE(y * 11 % 60);
    });
    const std::string whole = ReadBytes(Path("full.jpg"));
    const size_t scan = whole.find("\xFF\xDA");
    WriteBytes(Path("cut.jpg"), whole.substr(0, scan + (whole.size() - scan) / 2));

    const Picture pic = test::DecodeFileAt(Path("cut.jpg"), 0, 0);
    ASSERT_EQ(pic.width, 128);
    ASSERT_EQ(pic.height, 128);
    const uint32_t top = pic.pixels[5], bottom = pic.pixels.back();
    EXPECT_GT(int(top >> 16 & 0xFF), 180) << "the rows before the cut keep their colours";
    EXPECT_LT(int(top >> 8 & 0xFF), 90);
    for (int shift : {16, 8, 0}) EXPECT_NEAR(int(bottom >> shift & 0xFF), 128, 2) << "grey";
}

TEST_F(JpegPictureTest, FilesThatAreNotPicturesAreRefusedWithAClearMessage) {
    std::string jpeg = ReadBytes(Quadrants({16, 16}));
    std::string zeroWidth = jpeg, huge = jpeg;
    SetDimensions(zeroWidth, 0, 16);
    SetDimensions(huge, 60000, 60000);

    // A progressive file whose last scan repeats until no real encoder would have written it.
    std::string manyScans = ReadBytes(Quadrants({16, 16, 90, true}, "p.jpg"));
    const size_t last = manyScans.rfind("\xFF\xDA"), end = manyScans.rfind("\xFF\xD9");
    const std::string scan = manyScans.substr(last, end - last);
    for (int i = 0; i < kMaxJpegScans; ++i) manyScans.insert(end, scan);

    const auto code = [](int n) { return "JPEG error #" + std::to_string(n); };
    struct Case {
        const char* name;
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"PNG named .jpg", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), code(JERR_NO_SOI)},
        {"text file", "Monday: three pints\n", code(JERR_NO_SOI)},
        {"start marker only", "\xFF\xD8", code(JERR_NO_IMAGE)},
        {"cut inside the tables", jpeg.substr(0, FrameHeader(jpeg) - 40), code(JERR_NO_IMAGE)},
        {"zero width", zeroWidth, code(JERR_EMPTY_IMAGE)},
        {"60000 x 60000 claimed", huge, "JPEG image too large: 60000 x 60000 pixels"},
        {"too many scans", manyScans, "JPEG image has too many scans: more than 500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(Path("bad.jpg"), c.bytes);
        try {
            test::DecodeFileAt(Path("bad.jpg"), 406, 283);
            ADD_FAILURE() << "decoded without complaint";
        } catch (const JpegError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST_F(JpegPictureTest, ProgressiveFileWantedAtAnEighthIsReadUpToItsFirstAcScan) {
    // Sharp detail in brightness only, over colour that changes smoothly: at 1/8 scale what
    // shows of it is carried by the DC coefficients, which a progressive file sends first.
    JpegSpec shape{256, 192, 75, false, 3};
    const auto row = [&](int y, JSAMPLE* s) {
        for (int x = 0; x < shape.width; ++x) {
            const int light = (x / 24 + y / 24) % 2 ? 60 : -60;
            s[3 * x] = JSAMPLE(100 + x / 6 + light), s[3 * x + 1] = JSAMPLE(110 + y / 5 + light),
                  s[3 * x + 2] = JSAMPLE(150 - x / 8 + light);
        }
    };
    WriteJpeg(Path("baseline.jpg"), shape, row);
    shape.progressive = true;
    WriteJpeg(Path("progressive.jpg"), shape, row);
    // Every coefficient of the same picture at 1/8, as the baseline file holds them.
    const Picture reference = test::DecodeFileAt(Path("baseline.jpg"), 32, 24);
    ASSERT_EQ(reference.width, 32);

    const std::string whole = ReadBytes(Path("progressive.jpg"));
    struct Scan {
        size_t at;
        int start, high;  // the first coefficient and the successive-approximation high bit
    };
    std::vector<Scan> scans;
    for (size_t at = whole.find("\xFF\xDA"); at != std::string::npos;
         at = whole.find("\xFF\xDA", at + 2)) {
        const int components = whole[at + 4];
        scans.push_back(
            {at, whole[at + 5 + 2 * components], (whole[at + 7 + 2 * components] >> 4) & 15});
    }
    ASSERT_GT(scans.size(), 6u);
    ASSERT_EQ(scans[0].start, 0) << "libjpeg's progression starts with the DC coefficients";
    ASSERT_NE(scans[1].start, 0);
    std::string damaged = whole;
    damaged[scans[2].at + 7] = char(64);  // the third scan's first coefficient past its last
    const auto refine = std::find_if(scans.begin(), scans.end(),
                                     [](const Scan& s) { return s.start == 0 && s.high > 0; });
    ASSERT_NE(refine, scans.end());
    const std::string refinement = whole.substr(refine->at, (refine + 1)->at - refine->at);
    std::string manyDc = whole;
    for (int i = 0; i <= kMaxJpegScans; ++i) manyDc.insert(scans[1].at, refinement);

    // The DC scans carry each DC without its last bit: one quantisation step, at quality 75 a
    // level in brightness and up to 1.772 x 9/8 levels in blue, and a level of rounding.
    const int tolerance = 4;
    struct Case {
        const char* name;
        std::string bytes;
        std::string error;  // empty: the picture within the tolerance of the reference
    };
    const Case cases[] = {
        {"whole file", whole, ""},
        {"cut after its DC scan", whole.substr(0, scans[1].at) + "\xFF\xD9", ""},
        {"the scans after are never read", damaged, ""},
        {"more DC scans than allowed", manyDc, "JPEG image has too many scans: more than 500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(Path("case.jpg"), c.bytes);
        try {
            const Picture pic = test::DecodeFileAt(Path("case.jpg"), 32, 24);
            EXPECT_EQ(c.error, "");
            ASSERT_EQ(pic.width, reference.width);
            ASSERT_EQ(pic.height, reference.height);
            int worst = 0;
            for (size_t i = 0; i < pic.pixels.size(); ++i)
                for (int shift : {16, 8, 0})
                    worst = std::max(worst, std::abs(int(pic.pixels[i] >> shift & 0xFF) -
                                                     int(reference.pixels[i] >> shift & 0xFF)));
            EXPECT_LE(worst, tolerance);
        } catch (const JpegError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
    WriteBytes(Path("case.jpg"), damaged);
    EXPECT_THROW(test::DecodeFileAt(Path("case.jpg")), JpegError) << "the damage is real";
}

TEST_F(JpegPictureTest, FilesThatCannotBeOpenedNameThePath) {
    fs::create_directory(Path("folder.jpg"));
    std::vector<std::string> paths = {Path("missing.jpg"), Path("folder.jpg")};
#ifdef _WIN32
    // A picture another program holds open without sharing it.
    const std::string locked = Quadrants({16, 16}, "locked.jpg");
    int fd = -1;
    ASSERT_EQ(_sopen_s(&fd, locked.c_str(), _O_RDONLY, _SH_DENYRW, _S_IREAD), 0);
    paths.push_back(locked);
#endif
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        try {
            test::DecodeFileAt(path, 406, 283);
            ADD_FAILURE() << "opened";
        } catch (const FileOpenError& e) {
            EXPECT_EQ(e.what(), "Cannot open file " + path);
        }
    }
#ifdef _WIN32
    _close(fd);
#endif
}

TEST_F(JpegPictureTest, BudgetCountsOutputAndTheDecodersOwnMemory) {
    struct Case {
        const char* name;
        JpegSpec shape;
        int drawW, drawH;
        size_t budget;
        bool fits;
    };
    const Case cases[] = {
        {"full size fits", {256, 256}, 0, 0, size_t{1} << 20, true},
        {"output alone exceeds it", {256, 256}, 0, 0, 200 * 1024, false},
        {"scaled down fits", {1024, 1024}, 128, 128, size_t{1} << 20, true},
        // A progressive file is held whole as coefficients, 2 bytes per sample, before output.
        {"progressive needs the whole file",
         {1024, 1024, 90, true},
         128,
         128,
         size_t{1} << 20,
         false},
        {"progressive with room", {1024, 1024, 90, true}, 128, 128, size_t{8} << 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Quadrants(c.shape);
        if (c.fits) {
            const Picture pic = test::DecodeFileAt(path, c.drawW, c.drawH, c.budget);
            EXPECT_GE(pic.width, c.drawW);
            EXPECT_FALSE(pic.empty());
        } else {
            const std::string size =
                std::to_string(c.shape.width) + " x " + std::to_string(c.shape.height);
            try {
                test::DecodeFileAt(path, c.drawW, c.drawH, c.budget);
                ADD_FAILURE() << "decoded over budget";
            } catch (const JpegError& e) {
                EXPECT_EQ(e.what(), "JPEG image too large: " + size + " pixels");
            }
        }
    }
}

}  // namespace
}  // namespace quaff
