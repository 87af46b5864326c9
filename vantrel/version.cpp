// The library's own version, fixed when it is built.
#include "vantrel/version.h"

namespace vantrel {

const char *version() { return VANTREL_VERSION_STRING; }

} // namespace vantrel
