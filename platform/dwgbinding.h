#pragma once

#include <QString>

// Binding to the DWG library (Vantrel), loaded by name at run time and never
// unloaded. The drawing itself travels as the clipboard's text; the library
// is given only the output path.
namespace DwgBinding {

// True when the runtime the library needs is installed. On Windows this is
// the .NET Framework 4.8 (release 528040 or later in the registry); the
// native library of other platforms needs nothing. Warns when it fails.
bool checkDotNet();

// Loads the library, resolves "writeDwg" and calls it with path as a
// NUL-terminated UTF-16 string. Warns when the library or the function is
// missing or the call throws; a false result from the library is returned
// without a message.
bool callWriteDwg(const QString& path);

// File name of the library as the platform spells it ("Vantrel.dll",
// "libVantrel.so", ...).
QString libraryFileName();

// Library name handed to the loader; tests point it at a stand-in library.
void setLibraryName(const QString& name);
QString libraryName();

} // namespace DwgBinding
