/// \file
/// \ingroup image
/// The size a picture file announces, read before the picture itself: the loaders refuse a file
/// that is no regular file, or whose picture they could not take, before any pixel is read.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Opens NAME, which must be a regular file (a FIFO or directory is refused at once, without
/// waiting), and reads the width and height that its BMP header gives into W and H; both are 0
/// when the file starts with no BMP header, whose faults the full load then names. False, with
/// the reason in WHY, when NAME cannot be opened or is not a regular file.
/// \param NAME the file
/// \param W,H receive the width and height in pixels (0 without a BMP header)
/// \param WHY receives the reason of a failure
/// \return false when NAME cannot be opened or is no regular file
BOOLEAN READPICTURESIZE(PCHAR NAME, LONGINT &W, LONGINT &H, ANSISTRING &WHY);

} // namespace vantrel
VANTREL_API_END
