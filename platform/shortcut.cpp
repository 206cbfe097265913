#include "platform/shortcut.h"

namespace platform {

bool createDesktopShortcut(const QString&) { return false; }

} // namespace platform
