#pragma once

#include <QString>

namespace platform {

// Creates a launcher for the running executable named `name` in the user's
// desktop folder. An existing launcher is left alone; returns false on any
// failure, but callers stay silent.
//
// On Windows `name` is the shell link's file name ("....lnk"). Elsewhere a
// desktop entry is written instead: a trailing ".lnk" is replaced by
// ".desktop" and the name without it becomes the launcher's title.
bool createDesktopShortcut(const QString& name);

// The same for an explicit target and desktop folder.
bool createDesktopShortcut(const QString& name, const QString& executable, const QString& desktopFolder);

} // namespace platform
