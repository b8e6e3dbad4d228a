// Defaults for platform queries a twin may leave out; a twin's own definition takes precedence.
#include "runtime/platform/platform.h"

namespace Platform {
__attribute__((weak)) bool WindowOpen() { return true; }
}  // namespace Platform
