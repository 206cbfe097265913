#include "platform/openrequests.h"

namespace platform {

bool executeShellCommand(const QString&, bool, const std::function<bool(const QString&)>&) { return false; }

OpenRequestServer::OpenRequestServer(QObject* parent) : QObject(parent) {}
OpenRequestServer::~OpenRequestServer() = default;

bool OpenRequestServer::forwardToRunningInstance(const QStringList&) { return false; }

bool OpenRequestServer::listen(std::function<bool(const QString&)>) { return false; }

} // namespace platform
