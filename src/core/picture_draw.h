// The draw that picks which picture the monitor window shows. A linear congruential
// generator that starts from seed 0 in every run, so each run shows the same sequence:
// the first draw is always 0 (the first picture found).
#pragma once

#include <cstdint>

namespace quaff {

class PictureDraw {
public:
    // A whole number from 0 to count - 1 (0 when count is 0).
    uint32_t Next(uint32_t count);
    uint32_t Seed() const { return seed_; }

private:
    uint32_t seed_ = 0;
};

}  // namespace quaff
