#pragma once
// Rotation by any angle in degrees, positive anticlockwise, no antialiasing.
//
// Whole quarter turns move pixels exactly (a quarter turn swaps width and
// height). Any other angle gives an image of
//   round(|cos a|·W + |sin a|·H) × round(|sin a|·W + |cos a|·H);
// each destination pixel takes the source pixel under the centre of the
// destination pixel turned back by a about the image centres (nearest pixel,
// found by flooring), or `background` where that point falls outside the
// source. An angle that is a whole number of turns gives an unchanged copy.
#include "pages/image.h"

namespace orvix {

// A non-finite angle throws Error, as does a result too large to hold.
Image rotate(const Image& source, double degrees, Rgb background);

// The angle brought into [0, 360).
double normalizedDegrees(double degrees);

}  // namespace orvix
