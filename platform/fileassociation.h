#pragma once

#include <QString>

namespace platform {

// Registers the project file type for the running executable with the
// desktop (per user). Does nothing when the registration is current;
// silent on failure.
void registerFileType(const QString& typeId, const QString& description, const QString& extension,
                      int iconIndex);

} // namespace platform
