#include "platform/fileassociation.h"

namespace platform {

void registerFileType(const QString&, const QString&, const QString&, int) {}

} // namespace platform
