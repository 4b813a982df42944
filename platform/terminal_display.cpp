#include "platform/display.h"

namespace platform {
std::unique_ptr<Display> CreateTerminalDisplay() { return CreateHeadlessDisplay(); }
}  // namespace platform
