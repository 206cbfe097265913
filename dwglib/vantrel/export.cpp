// The library's one exported entry point.
#include "classcad.h"

#include <QString>

#ifdef _WIN32
#  define VANTREL_API extern "C" __declspec(dllexport)
#  define VANTREL_CALL __stdcall
#else
#  define VANTREL_API extern "C" __attribute__((visibility("default")))
#  define VANTREL_CALL
#endif

// writeDwg(path): path is a NUL-terminated UTF-16 string that stays the
// caller's; it is copied before use. The interchange XML is the current
// clipboard text. Returns true when the DWG file was written.
VANTREL_API bool VANTREL_CALL writeDwg(const char16_t* path)
{
    try {
        if (!path)
            return false;
        const QString copy = QString::fromUtf16(path);
        vantrel::ClassCad cad;
        return cad.write(copy);
    } catch (...) {
        return false;
    }
}
