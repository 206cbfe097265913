#pragma once

#include <QString>

namespace platform {

// Creates a launcher for the running executable named `name` in the user's
// desktop folder. An existing launcher is left alone; returns false on any
// failure, but callers stay silent.
bool createDesktopShortcut(const QString& name);

} // namespace platform
