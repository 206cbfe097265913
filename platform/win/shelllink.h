#pragma once

#include <QString>

namespace platform::win {

// Saves a shell link at `linkPath` (native separators, ".lnk") pointing to
// `target`. False on any failure.
bool createShellLink(const QString& linkPath, const QString& target);

} // namespace platform::win
