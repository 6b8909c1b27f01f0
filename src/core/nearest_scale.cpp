#include "core/nearest_scale.h"

#include <stdexcept>

namespace quaff {

Square FitSquare(int from, int to) {
    if (from <= 0 || to <= 0) throw std::invalid_argument("a square needs a side");
    if (to <= from) return {0, 0, to};
    const int side = 2 * to / from * from / 2;  // half-steps of `from`
    return {(to - side) / 2, (to - side) / 2, side};
}

namespace {
bool Inside(const PixelGrid& grid, Square s) {
    return s.side > 0 && s.left >= 0 && s.top >= 0 && s.left + s.side <= grid.width &&
           s.top + s.side <= grid.height;
}
}  // namespace

void ScaleNearest(const PixelGrid& src, Square from, PixelGrid& dst, Square to) {
    if (!Inside(src, from) || !Inside(dst, to))
        throw std::out_of_range("square outside its picture");
    for (int y = 0; y < to.side; ++y)
        for (int x = 0; x < to.side; ++x)
            dst.at(to.left + x, to.top + y) =
                src.at(from.left + x * from.side / to.side, from.top + y * from.side / to.side);
}

}  // namespace quaff
