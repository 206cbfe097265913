#include "platform/win/shelllink.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#ifdef _MSC_VER
#pragma comment(lib, "ole32.lib")
#pragma comment(lib, "uuid.lib")
#endif

namespace platform::win {

bool createShellLink(const QString& linkPath, const QString& target) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool uninitialize = SUCCEEDED(init); // S_OK and S_FALSE both need the matching call
    bool ok = false;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        const std::wstring targetW = target.toStdWString();
        const std::wstring folderW = QDir::toNativeSeparators(QFileInfo(target).absolutePath()).toStdWString();
        link->SetPath(targetW.c_str());
        link->SetWorkingDirectory(folderW.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            const std::wstring linkW = linkPath.toStdWString();
            ok = SUCCEEDED(file->Save(linkW.c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    if (uninitialize)
        CoUninitialize();
    return ok;
}

} // namespace platform::win
