// Shrinking a decoded picture to the size it is drawn at, so a picture kept while its window
// is hidden costs no more memory than the screen area it fills.
#pragma once

#include "core/jpeg_picture.h"

namespace quaff {

// The picture averaged down to width x height when it is larger than that in both
// directions (each target pixel the mean of the source pixels it covers); otherwise the
// picture as it is. A target of 0 or less keeps the picture.
Picture ShrinkTo(Picture picture, int width, int height);

}  // namespace quaff
