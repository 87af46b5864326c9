/// \file
/// \ingroup core
/// Vantrel's whole public API in one include: the scalar and record types, every framework
/// global, the operations of each subsystem, the platform seam and the OpenGL and GLU headers
/// the framework uses. Backend extras (vantrel/platform/headless/headless_platform.h,
/// vantrel/platform/x11/x11_platform.h) are included on their own where a program wants them.
#pragma once

#include "vantrel/version.h"

#include "vantrel/gl.h"
#include "vantrel/types.h"
#include "vantrel/platform/platform.h"
#include "vantrel/globals.h"
#include "vantrel/runerror.h"

#include "vantrel/window/lifecycle.h"
#include "vantrel/window/message_pump.h"
#include "vantrel/window/navigation.h"
#include "vantrel/window/status_bar.h"

#include "vantrel/image/texture.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/text_file.h"
#include "vantrel/image/palette_bitmap.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/image/hover_button.h"
#include "vantrel/image/snapshot.h"

#include "vantrel/render/projection.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/cartoon.h"
#include "vantrel/render/fog.h"
#include "vantrel/render/outline_text.h"

#include "vantrel/geometry/normals.h"
#include "vantrel/geometry/box.h"
#include "vantrel/geometry/revolved.h"
