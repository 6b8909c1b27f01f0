// The benchmarks' instruments under Wine: a figure is only worth printing if the clock
// counts microseconds, the memory figures see memory the process really commits, a child's
// output reaches the benchmark that started it, and the profiler names the function the time
// went to.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "bench_support.h"
#include "sampler.h"

namespace {

using namespace quaff::bench;

TEST(BenchSupport, MedianOfOddEvenAndEmptySets) {
    struct Case {
        std::vector<double> values;
        double median;
    };
    const Case cases[] = {{{}, 0}, {{7}, 7}, {{9, 1, 5}, 5}, {{4, 1, 3, 2}, 2.5}, {{2, 2, 100}, 2}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.median);
}

TEST(BenchSupport, TheClockCountsMicroseconds) {
    // Against the system's millisecond tick: wait until it has moved on by 200 ms.
    const ULONGLONG startTick = GetTickCount64();
    const double start = NowMicros();
    while (GetTickCount64() - startTick < 200) {}
    const double elapsed = NowMicros() - start;
    EXPECT_GT(elapsed, 150'000);
    EXPECT_LT(elapsed, 300'000);
}

TEST(BenchSupport, MemoryFiguresFollowCommittedAndTouchedMemory) {
    // 32 MiB committed and written to, then released: both figures must see it come and go.
    struct Instrument {
        const char* name;
        std::uint64_t (*read)();
    };
    const Instrument instruments[] = {{"PrivateBytes", PrivateBytes},
                                      {"CommittedPrivateBytes", CommittedPrivateBytes}};
    constexpr size_t kSize = 32u << 20;
    for (const Instrument& instrument : instruments) {
        const std::uint64_t before = instrument.read();
        ASSERT_GT(before, 0u) << instrument.name;
        void* block = VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0x5a, kSize);
        const std::uint64_t held = instrument.read();
        VirtualFree(block, 0, MEM_RELEASE);
        const std::uint64_t after = instrument.read();
        EXPECT_GE(MiB(held) - MiB(before), 30.0) << instrument.name;
        EXPECT_LT(MiB(after) - MiB(before), 2.0) << instrument.name;
    }
}

TEST(BenchSupport, AChildsOutputAndExitCodeReachTheBenchmark) {
    DWORD code = 99;
    const std::string out =
        RunSelf("--gtest_list_tests --gtest_filter=BenchSupport.Median*", &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(out.find("MedianOfOddEvenAndEmptySets"), std::string::npos) << out;
    EXPECT_EQ(out.find("TheClockCountsMicroseconds"), std::string::npos) << out;
}

// Keeps the processor busy in its own code (the clock is read seldom: under Wine reading it
// is the host's code); not inlined, so that the profile has it to name.
__attribute__((noinline)) void BusyFor(double micros) {
    const double end = NowMicros() + micros;
    volatile unsigned spins = 0;
    while (NowMicros() < end)
        for (int i = 0; i < 100'000; ++i) spins = spins + 1;
}

TEST(BenchSupport, TheProfileNamesTheFunctionTheTimeWentTo) {
    ASSERT_TRUE(StartSampling());
    const double start = NowMicros();
    BusyFor(300'000);
    const double end = NowMicros();
    StopSampling();
    const Profile profile = Summarize(start, end);
    EXPECT_GT(profile.micros, 250'000);
    double busy = 0;
    for (const Amount& a : profile.inclusive)
        if (a.what.find("BusyFor") != std::string::npos) busy = a.value;
    EXPECT_GT(busy, 0.8 * profile.micros);
}

}  // namespace
