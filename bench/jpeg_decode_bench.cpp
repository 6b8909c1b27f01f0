// How fast, and in how much memory, the monitor gets its picture from a camera-sized photo:
// decoded at the size the window draws it, saved baseline and saved progressive, against a
// full-size decode of the baseline file.
// Prints what it measured; it never fails on time.

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/jpeg_picture.h"
#include "jpeg_writer.h"

// ---- Heap accounting -------------------------------------------------------------------------
// Every allocation of the process is counted, ours, the C++ library's and libjpeg's pools alike,
// so "added memory" is the heap in use above what was in use before a decode.

namespace heap {
int64_t current = 0, peak = 0;  // signed: blocks freed that were allocated before counting began
void Add(int64_t n) {
    current += n;
    peak = std::max(peak, current);
}
void Sub(int64_t n) { current -= n; }
}  // namespace heap

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer owns malloc; it reports allocations through hooks instead.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void*);
constexpr bool kSanitized = true;
void StartCounting() {
    __sanitizer_install_malloc_and_free_hooks(
        [](const volatile void*, size_t n) { heap::Add(int64_t(n)); },
        [](const volatile void* p) { heap::Sub(int64_t(__sanitizer_get_allocated_size(p))); });
}
#else
// glibc's allocator under its own names; these definitions take the place of the public ones
// for the whole process, shared libraries included.
extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);

static void* Counted(void* p) {
    if (p) heap::Add(int64_t(malloc_usable_size(p)));
    return p;
}
void* malloc(size_t n) noexcept { return Counted(__libc_malloc(n)); }
void* calloc(size_t n, size_t size) noexcept { return Counted(__libc_calloc(n, size)); }
void* memalign(size_t align, size_t n) noexcept { return Counted(__libc_memalign(align, n)); }
void* aligned_alloc(size_t align, size_t n) noexcept { return memalign(align, n); }
int posix_memalign(void** out, size_t align, size_t n) noexcept {
    *out = memalign(align, n);
    return *out || n == 0 ? 0 : ENOMEM;
}
void free(void* p) noexcept {
    if (p) heap::Sub(int64_t(malloc_usable_size(p)));
    __libc_free(p);
}
void* realloc(void* p, size_t n) noexcept {
    const int64_t old = p ? int64_t(malloc_usable_size(p)) : 0;
    void* q = __libc_realloc(p, n);
    if (q || n == 0) heap::Sub(old);  // moved, or freed by a zero size
    return Counted(q);
}
}
constexpr bool kSanitized = false;
void StartCounting() {}
#endif

// ---- The photo -------------------------------------------------------------------------------

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kDrawWidth = 406, kDrawHeight = 283;  // the monitor window's picture area

struct Disc {
    int cx, cy, r;
    double red, green, blue;
};

uint32_t NextRandom(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

uint8_t Clamp(double v) { return uint8_t(std::clamp(v, 0.0, 255.0)); }

// Random values on a grid of `cell`-pixel squares, blended smoothly in between: detail at one
// scale, as leaves, clouds or fabric give.
class ValueNoise {
public:
    ValueNoise(int cell, uint32_t seed) : cell_(cell), cols_(kWidth / cell + 2) {
        values_.resize(size_t(cols_) * (kHeight / cell + 2));
        for (double& v : values_) v = double(NextRandom(seed) >> 8) / (1 << 24) * 2 - 1;
    }
    double At(int x, int y) const {
        const int cx = x / cell_, cy = y / cell_;
        const double fx = double(x % cell_) / cell_, fy = double(y % cell_) / cell_;
        const double* top = &values_[size_t(cy) * cols_ + cx];
        const double* below = top + cols_;
        return (top[0] * (1 - fx) + top[1] * fx) * (1 - fy) +
               (below[0] * (1 - fx) + below[1] * fx) * fy;
    }

private:
    int cell_, cols_;
    std::vector<double> values_;
};

// Something like a landscape photo: a sky with faint clouds graded towards a hilly horizon,
// ground with coarse and fine texture, shaded textured objects with sharp edges, and sensor
// grain over everything. Flat colours or pure noise would compress and decode unlike a photo.
void WritePhoto(const std::string& path, bool progressive) {
    uint32_t seed = 12345;
    std::vector<Disc> discs;
    for (int i = 0; i < 40; ++i)
        discs.push_back({int(NextRandom(seed) % kWidth), int(NextRandom(seed) % kHeight),
                         int(60 + NextRandom(seed) % 500), double(NextRandom(seed) >> 24),
                         double(NextRandom(seed) >> 24), double(NextRandom(seed) >> 24)});
    const ValueNoise coarse(64, 1), fine(5, 2), finest(2, 3);
    const int horizon = kHeight * 9 / 20;
    std::vector<double> rgb(size_t(kWidth) * 3);

    quaff::test::JpegSpec shape{kWidth, kHeight, 90, progressive, 3};
    quaff::test::WriteJpeg(path, shape, [&](int y, JSAMPLE* row) {
        for (int x = 0; x < kWidth; ++x) {
            double* p = &rgb[3 * size_t(x)];
            const double ridge = horizon + 180 * std::sin(x / 900.0) + 40 * coarse.At(x, 0);
            if (y < ridge) {
                const double t = y / ridge, cloud = 25 * std::max(0.0, coarse.At(x, y));
                p[0] = 90 + 120 * t + cloud, p[1] = 140 + 90 * t + cloud,
                p[2] = 230 - 10 * t + cloud;
            } else {
                const double t = (y - ridge) / (kHeight - ridge);
                const double leaves =
                    20 * coarse.At(x, y) + 30 * fine.At(x, y) + 15 * finest.At(x, y);
                p[0] = 70 + 60 * t + leaves, p[1] = 120 - 30 * t + 1.3 * leaves, p[2] = 40 + 20 * t;
            }
        }
        for (const Disc& d : discs) {
            const int dy = y - d.cy;
            if (dy * dy >= d.r * d.r) continue;
            const int half = int(std::sqrt(double(d.r * d.r - dy * dy)));
            for (int x = std::max(0, d.cx - half); x < std::min(kWidth, d.cx + half); ++x) {
                const double light = (0.55 + 0.45 * (1 - std::hypot(x - d.cx, dy) / d.r)) *
                                     (1 + 0.12 * fine.At(x, y));
                double* p = &rgb[3 * size_t(x)];
                p[0] = d.red * light, p[1] = d.green * light, p[2] = d.blue * light;
            }
        }
        for (int x = 0; x < kWidth; ++x) {
            const double grain = int(NextRandom(seed) >> 28) - 7.5;
            for (int c = 0; c < 3; ++c) row[3 * x + c] = Clamp(rgb[3 * size_t(x) + c] + grain);
        }
    });
}

// ---- Measuring -------------------------------------------------------------------------------

struct Result {
    int width = 0, height = 0;
    double medianMs = 0;
    double peakMiB = 0;
};

Result Measure(const std::function<quaff::Picture()>& decode, int runs) {
    decode();  // warm-up: the file into the page cache, the libraries' one-time set-up
    Result result;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const int64_t before = heap::current;
        heap::peak = before;
        const auto start = std::chrono::steady_clock::now();
        const quaff::Picture picture = decode();
        const auto stop = std::chrono::steady_clock::now();
        result.peakMiB = std::max(result.peakMiB, double(heap::peak - before) / (1 << 20));
        result.width = picture.width, result.height = picture.height;
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(ms.begin(), ms.end());
    result.medianMs = ms[ms.size() / 2];
    return result;
}

void Print(const char* what, const Result& r, int runs) {
    std::printf("%-34s %5d x %-5d median %8.1f ms of %d runs, peak added heap %7.2f MiB\n", what,
                r.width, r.height, r.medianMs, runs, r.peakMiB);
}

int main() {
    StartCounting();
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quaff_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string baseline = (dir / "photo.jpg").string();
    const std::string progressive = (dir / "photo-progressive.jpg").string();
    WritePhoto(baseline, false);
    WritePhoto(progressive, true);

    std::printf("JPEG decoding of a %d x %d photo, quality 90, %.1f MB (%.2f bits per pixel)\n",
                kWidth, kHeight, double(fs::file_size(baseline)) / 1e6,
                8.0 * double(fs::file_size(baseline)) / (double(kWidth) * kHeight));
#ifdef __OPTIMIZE__
    const bool optimised = true;
#else
    const bool optimised = false;
#endif
    std::printf("build: %s, %s%s\n", optimised ? "optimised" : "NOT optimised",
                kSanitized ? "AddressSanitizer on" : "no sanitizers",
                optimised && !kSanitized ? "" : " (figures include that overhead)");

    const int runs = 7;
    const Result drawn =
        Measure([&] { return quaff::test::DecodeFileAt(baseline, kDrawWidth, kDrawHeight); }, runs);
    const Result full = Measure([&] { return quaff::test::DecodeFileAt(baseline); }, runs);
    const Result progDrawn = Measure(
        [&] { return quaff::test::DecodeFileAt(progressive, kDrawWidth, kDrawHeight); }, runs);

    char drawnLabel[64];
    std::snprintf(drawnLabel, sizeof drawnLabel, "as drawn (%d x %d):", kDrawWidth, kDrawHeight);
    std::printf("baseline (%.1f MB):\n", double(fs::file_size(baseline)) / 1e6);
    Print(drawnLabel, drawn, runs);
    Print("full size:", full, runs);
    std::printf(
        "the same photo saved progressive (%.1f MB), which at 1/8 scale is read up to "
        "its first AC scan:\n",
        double(fs::file_size(progressive)) / 1e6);
    Print(drawnLabel, progDrawn, runs);
    const double ratio = progDrawn.medianMs / drawn.medianMs;
    std::printf(
        "progressive / baseline as drawn: %.2f of the time (goal at most 1), %.2f MiB "
        "against %.2f MiB added\n",
        ratio, progDrawn.peakMiB, drawn.peakMiB);
    std::printf("as drawn / full size (baseline): %.0f%% of the time, %.2f MiB against %.2f MiB\n",
                100 * drawn.medianMs / full.medianMs, drawn.peakMiB, full.peakMiB);
    // Lines tools/bench.sh puts in the performance table, as the Windows benchmarks print them.
    std::printf(
        "RESULT|Progressive photo at the window's size (native decode, median)|%.1f ms, "
        "%.1f MiB added|%.1f ms, %.1f MiB added as baseline|%.2f|at most 1|%s\n",
        progDrawn.medianMs, progDrawn.peakMiB, drawn.medianMs, drawn.peakMiB, ratio,
        ratio <= 1 ? "met" : "not met");
    std::printf(
        "RESULT|Baseline photo at the window's size (native decode, median)|%.1f ms, "
        "%.1f MiB added|%.1f ms, %.1f MiB added at full size|%.2f||\n",
        drawn.medianMs, drawn.peakMiB, full.medianMs, full.peakMiB, drawn.medianMs / full.medianMs);

    fs::remove_all(dir);
    return 0;
}
