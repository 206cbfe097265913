#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QPainter;
class QSettings;

namespace platform {

// Registers the project file type for the running executable with the
// desktop (per user). Does nothing when the registration is current;
// silent on failure.
void registerFileType(const QString& typeId, const QString& description, const QString& extension,
                      int iconIndex);

// The per-user classes key seen as flat key-value pairs. Keys are paths below
// the classes key; a path ending in "/." addresses the default value of that
// key ("/.yty/.", "/KARVEN.File.20/DefaultIcon/.").
class AssociationStore {
public:
    virtual ~AssociationStore() = default;
    // Empty when absent.
    virtual QString value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
    virtual void sync() = 0;
};

struct FileTypeRegistration {
    QString executable; // full path, native separators
    QString typeId;
    QString description;
    QString extension; // with the dot
    int iconIndex = 0;
    QString ddeApplication;
    QString ddeTopic = QStringLiteral("system");
};

// The registration for the running executable.
FileTypeRegistration currentRegistration(const QString& typeId, const QString& description,
                                         const QString& extension, int iconIndex);

// True when the stored default icon value ("\"E\",N") names this executable
// and icon index.
bool registrationIsCurrent(const QString& defaultIcon, const QString& executable, int iconIndex);

// Writes the seven association values into `store` unless the registration
// is current. Returns true when it wrote.
bool registerFileTypeIn(AssociationStore& store, const FileTypeRegistration& registration);

// The classes key as a settings store (the registry in native format on
// Windows; any QSettings elsewhere).
class SettingsAssociationStore : public AssociationStore {
public:
    explicit SettingsAssociationStore(QSettings& settings) : settings_(settings) {}
    QString value(const QString& key) const override;
    void setValue(const QString& key, const QString& value) override;
    void sync() override;

private:
    QSettings& settings_;
};

// The freedesktop equivalent below a data folder ($XDG_DATA_HOME): a MIME
// type for the extension with its icon (mime/packages), and a desktop entry
// for the executable that handles the type (applications). The values are
// collected and turned into files by sync(); the desktop and MIME databases
// are then refreshed by their tools when installed. The DDE values have no
// counterpart here (open requests travel through the local socket).
class FreedesktopAssociationStore : public AssociationStore {
public:
    FreedesktopAssociationStore(const QString& dataDir, const QString& desktopId,
                                const QString& mimeType = QStringLiteral("application/x-karven-project"));

    // Only the default icon is read back: it decides whether the
    // registration is current, and it reads as absent when any of the files
    // is missing.
    QString value(const QString& key) const override;
    void setValue(const QString& key, const QString& value) override;
    void sync() override;

    void setApplicationName(const QString& name) { applicationName_ = name; }
    void setRunDatabaseTools(bool run) { runTools_ = run; }

    // Removes the desktop entry (only one this store wrote), the MIME package
    // and the MIME icon, then refreshes the databases. The application icon
    // stays: desktop launchers name it. True when anything was removed.
    bool removeRegistration();

    QString mimeType() const { return mimeType_; }
    QString desktopEntryPath() const;
    QString mimePackagePath() const;
    QString mimeIconPath() const;
    QString applicationIconPath() const;

private:
    QString dataDir_;
    QString desktopId_;
    QString mimeType_;
    QString applicationName_;
    bool runTools_ = true;
    QMap<QString, QString> pending_;
};

// True when one of `dataDirs` (the system-wide data folders) holds an
// installed registration of the type: a desktop entry `desktopId`.desktop
// listing `mimeType` whose Exec starts `executable` (compared after following
// links, a bare name looked up in PATH), and a MIME package for the type.
// A per-user registration would then only duplicate it.
bool systemRegistrationCovers(const QStringList& dataDirs, const QString& desktopId, const QString& mimeType,
                              const QString& executable);
// The program of an Exec value (already unescaped): its first argument
// with the quoting removed.
QString execProgram(const QString& exec);

// Desktop entry helpers.
QString escapeDesktopValue(const QString& value);
QString unescapeDesktopValue(const QString& value);
// One argument of an Exec line, quoted when it holds a reserved character,
// by the desktop entry's own rules (before the value escaping above).
QString quoteExecArgument(const QString& argument);
// Reads one key of the [Desktop Entry] group; empty when absent.
QString readDesktopEntryKey(const QString& path, const QString& key);
// Paints the program's icon into the square (0, 0, size, size).
void paintIcon(QPainter& painter, double size);
// Writes the program's icon as a PNG (folders created); false on failure.
bool writeIconFile(const QString& path, int size);

} // namespace platform
