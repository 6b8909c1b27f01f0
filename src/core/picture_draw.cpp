#include "core/picture_draw.h"

namespace quaff {

uint32_t PictureDraw::Next(uint32_t count) {
    seed_ = seed_ * 134775813u + 1u;  // wraps modulo 2^32
    return static_cast<uint32_t>((static_cast<uint64_t>(count) * seed_) >> 32);
}

}  // namespace quaff
