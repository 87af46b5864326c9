/// \file
/// \ingroup image
/// A window region made from a picture: every pixel that is not of a transparent colour.
#pragma once

#include <vector>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

inline constexpr LONGINT ALLOC_UNIT = 100;    ///< rectangles the buffer starts with and grows by
inline constexpr LONGINT REGION_BATCH = 2000; ///< rectangles per region handed to the platform

/// Builds the region of the pixels of BMPNAME that lie outside the colour window TRANSCOLOR
/// (0x00BBGGRR) .. TRANSCOLOR + TOLERANCE per channel, as one-pixel-high runs, row 0 being the
/// picture's top. Returns a region the caller owns, or 0 when the file cannot be loaded or the
/// working image cannot be made. A TRANSCOLOR of 2^31 or more stops with a range-check error.
/// \param BMPNAME the picture file
/// \param TRANSCOLOR the colour cut away, 0x00BBGGRR
/// \param TOLERANCE how far above TRANSCOLOR a channel may lie and still be cut away
/// \return the region (the caller owns it), 0 when nothing could be made
THANDLE BITMAPTOREGION(const ANSISTRING &BMPNAME, LONGWORD TRANSCOLOR, BYTE TOLERANCE);

/// How the last BITMAPTOREGION call built its region: the buffer's final capacity and the number
/// of rectangles in each region handed to the platform, in order (the last one is the final
/// flush, which may be empty).
struct TREGIONSCAN {
  LONGINT MAXRECTS = 0;         ///< room of the rectangle buffer at the end, in rectangles
  std::vector<LONGINT> BATCHES; ///< rectangles in each region handed to the platform
};
/// The record of the last BITMAPTOREGION call (for tests and benchmarks).
/// \return the buffer sizes and batches of the last BITMAPTOREGION
const TREGIONSCAN &LASTREGIONSCAN();

} // namespace vantrel
VANTREL_API_END
