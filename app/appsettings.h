#pragma once

#include <QString>
#include <QStringList>

// Settings shared by the main window and the project windows. Each function
// opens the store, handles its keys and closes it again.
namespace AppSettings {

constexpr int MaxRecentFiles = 8;

// Folder of the last opened or saved project file (native separators).
QString lastPath();
// Stores the folder of `path`: everything before its last separator once
// converted to native separators (a backslash on Windows).
void saveLastPath(const QString& path);

QStringList readRecentFiles();
// Puts `path` at the head of the list (`add`) or removes it. Writes only
// when the list changes. Returns true when it wrote.
bool updateRecentFileList(const QString& path, bool add);

// A stored label font size from 4 to 51 stays, anything else reads as 20.
int sanitizedFontSize(int stored);
// A colour number outside Qt's predefined colours reads as `fallback`.
int sanitizedColor(int stored, int fallback);

} // namespace AppSettings
