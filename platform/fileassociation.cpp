#include "platform/fileassociation.h"

#include "model/pngencoder.h"
#include "platform/openrequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QXmlStreamWriter>

namespace platform {

namespace {

const char* const ClassesKey = "HKEY_CURRENT_USER\\Software\\Classes";
const char* const IconMarkerKey = "X-Karven-DefaultIcon";

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// "/A/B/." -> {"A", "B"}
QStringList keyParts(const QString& key) {
    QString k = key;
    if (k.endsWith(QLatin1String("/.")))
        k.chop(2);
    return k.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

bool saveFile(const QString& path, const QByteArray& data) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void runTool(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (!program.isEmpty())
        QProcess::startDetached(program, {folder});
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintIcon(p, size);
    p.end();
    return image;
}

} // namespace

void paintIcon(QPainter& p, double size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A sheet with a folded corner carrying a stereonet.
    QPainterPath sheet;
    sheet.moveTo(10, 3);
    sheet.lineTo(44, 3);
    sheet.lineTo(55, 14);
    sheet.lineTo(55, 61);
    sheet.lineTo(10, 61);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(QPolygonF({QPointF(44, 3), QPointF(44, 14), QPointF(55, 14)}));
    const QPointF c(32.5, 36);
    const double r = 17;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(0, 0, 255), 1.6));
    p.drawArc(QRectF(c.x() - 2.2 * r + 7, c.y() - r * 1.2, 2.4 * r, 2.4 * r), 150 * 16, 62 * 16);
    p.setPen(QPen(QColor(255, 0, 0), 1.6));
    p.drawArc(QRectF(c.x() - 5, c.y() - r * 1.45, 2.9 * r, 2.9 * r), 98 * 16, 72 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawEllipse(QPointF(c.x() + 6, c.y() + 7), 2.4, 2.4);
    p.restore();
}

bool writeIconFile(const QString& path, int size) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !PngEncoder::write(drawIcon(size), &file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

FileTypeRegistration currentRegistration(const QString& typeId, const QString& description,
                                         const QString& extension, int iconIndex) {
    FileTypeRegistration r;
    r.executable = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    r.typeId = typeId;
    r.description = description;
    r.extension = extension;
    r.iconIndex = iconIndex;
    r.ddeApplication = executableBaseName(r.executable);
    r.ddeTopic = QStringLiteral("system");
    return r;
}

bool registrationIsCurrent(const QString& defaultIcon, const QString& executable, int iconIndex) {
    if (defaultIcon.size() < 4)
        return false;
    QString text = defaultIcon;
    text.remove(QLatin1Char('"'));
    const QStringList parts = text.split(QLatin1Char(','));
    return parts.size() >= 2 && parts.at(0) == executable && parts.at(1) == QString::number(iconIndex);
}

bool registerFileTypeIn(AssociationStore& store, const FileTypeRegistration& r) {
    const QString type = QLatin1Char('/') + r.typeId;
    QString icon = store.value(type + QStringLiteral("/DefaultIcon/."));
    if (icon.isEmpty())
        icon = QStringLiteral(" ");
    if (registrationIsCurrent(icon, r.executable, r.iconIndex))
        return false;
    store.setValue(QLatin1Char('/') + r.extension + QStringLiteral("/."), r.typeId);
    store.setValue(type + QStringLiteral("/."), r.description);
    store.setValue(type + QStringLiteral("/DefaultIcon/."),
                   quoted(r.executable) + QLatin1Char(',') + QString::number(r.iconIndex));
    store.setValue(type + QStringLiteral("/Shell/Open/Command/."), quoted(r.executable) + QStringLiteral(" %1"));
    store.setValue(type + QStringLiteral("/shell/Open/ddeexec/."), QStringLiteral("[open(\"%1\")]"));
    store.setValue(type + QStringLiteral("/shell/Open/ddeexec/application/."), r.ddeApplication);
    store.setValue(type + QStringLiteral("/shell/Open/ddeexec/topic/."), r.ddeTopic);
    store.sync();
    return true;
}

void registerFileType(const QString& typeId, const QString& description, const QString& extension,
                      int iconIndex) {
    const FileTypeRegistration r = currentRegistration(typeId, description, extension, iconIndex);
#ifdef Q_OS_WIN
    QSettings settings(QString::fromLatin1(ClassesKey), QSettings::NativeFormat);
    SettingsAssociationStore store(settings);
    registerFileTypeIn(store, r);
#else
    Q_UNUSED(ClassesKey);
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataDir.isEmpty() || r.ddeApplication.isEmpty())
        return;
    FreedesktopAssociationStore store(dataDir, r.ddeApplication);
    // An installed package registers the type system-wide; a per-user entry
    // of the same program would only be listed twice (and go stale).
    QStringList systemDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    systemDirs.removeAll(dataDir);
    if (systemRegistrationCovers(systemDirs, r.ddeApplication, store.mimeType(), r.executable)) {
        store.removeRegistration();
        return;
    }
    store.setApplicationName(QCoreApplication::translate("platform", "澄岩赤平投影"));
    registerFileTypeIn(store, r);
#endif
}

// --- settings store -------------------------------------------------------

QString SettingsAssociationStore::value(const QString& key) const { return settings_.value(key).toString(); }

void SettingsAssociationStore::setValue(const QString& key, const QString& value) { settings_.setValue(key, value); }

void SettingsAssociationStore::sync() { settings_.sync(); }

// --- desktop entries ------------------------------------------------------

QString escapeDesktopValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

QString unescapeDesktopValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value.at(++i);
        switch (n.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case '\\': out += QLatin1Char('\\'); break;
        default:
            out += QLatin1Char('\\');
            out += n;
        }
    }
    return out;
}

QString quoteExecArgument(const QString& argument) {
    // Quoted only when needed: simple launchers (xdg-open without a desktop)
    // split Exec at blanks and do not understand quotes.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !argument.isEmpty();
    for (const QChar c : argument)
        plain = plain && !reserved.contains(c);
    if (plain) {
        QString out = argument;
        return out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    }
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%'); // a literal percent sign is doubled
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

QString readDesktopEntryKey(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    in.setCodec("UTF-8");
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inEntry = trimmed == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return unescapeDesktopValue(line.mid(eq + 1).trimmed());
    }
    return QString();
}

QString execProgram(const QString& exec) {
    const QString text = exec.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return text.section(QRegularExpression(QStringLiteral("\\s")), 0, 0);
    QString out;
    for (int i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            return out;
        if (c == QLatin1Char('\\') && i + 1 < text.size())
            out += text.at(++i);
        else
            out += c;
    }
    return QString(); // unterminated quote
}

bool systemRegistrationCovers(const QStringList& dataDirs, const QString& desktopId, const QString& mimeType,
                              const QString& executable) {
    const QString self = QFileInfo(executable).canonicalFilePath();
    if (self.isEmpty())
        return false;
    QString mimeFile = mimeType;
    mimeFile.replace(QLatin1Char('/'), QLatin1Char('-'));
    bool entry = false, mime = false;
    for (const QString& dir : dataDirs) {
        if (dir.isEmpty())
            continue;
        mime = mime ||
               QFileInfo::exists(dir + QStringLiteral("/mime/packages/") + mimeFile + QStringLiteral(".xml"));
        const QString path = dir + QStringLiteral("/applications/") + desktopId + QStringLiteral(".desktop");
        // The first entry of an id in the search order is the one desktops use.
        if (entry || !QFileInfo::exists(path))
            continue;
        const QStringList types =
            readDesktopEntryKey(path, QStringLiteral("MimeType")).split(QLatin1Char(';'));
        QString program = execProgram(readDesktopEntryKey(path, QStringLiteral("Exec")));
        if (!program.isEmpty() && !program.contains(QLatin1Char('/')))
            program = QStandardPaths::findExecutable(program);
        entry =
            types.contains(mimeType) && !program.isEmpty() && QFileInfo(program).canonicalFilePath() == self;
        if (!entry)
            return false;
    }
    return entry && mime;
}

// --- freedesktop store ----------------------------------------------------

FreedesktopAssociationStore::FreedesktopAssociationStore(const QString& dataDir, const QString& desktopId,
                                                         const QString& mimeType)
    : dataDir_(QDir::cleanPath(dataDir)), desktopId_(desktopId), mimeType_(mimeType),
      applicationName_(QCoreApplication::applicationName()) {}

QString FreedesktopAssociationStore::desktopEntryPath() const {
    return dataDir_ + QStringLiteral("/applications/") + desktopId_ + QStringLiteral(".desktop");
}

QString FreedesktopAssociationStore::mimePackagePath() const {
    QString name = mimeType_;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return dataDir_ + QStringLiteral("/mime/packages/") + name + QStringLiteral(".xml");
}

QString FreedesktopAssociationStore::mimeIconPath() const {
    QString name = mimeType_;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return dataDir_ + QStringLiteral("/icons/hicolor/64x64/mimetypes/") + name + QStringLiteral(".png");
}

QString FreedesktopAssociationStore::applicationIconPath() const {
    return dataDir_ + QStringLiteral("/icons/hicolor/64x64/apps/") + desktopId_ + QStringLiteral(".png");
}

QString FreedesktopAssociationStore::value(const QString& key) const {
    const QStringList parts = keyParts(key);
    if (parts.size() != 2 || parts.at(1).compare(QLatin1String("DefaultIcon"), Qt::CaseInsensitive) != 0)
        return QString();
    for (const QString& path : {mimePackagePath(), mimeIconPath(), applicationIconPath()}) {
        if (!QFileInfo::exists(path))
            return QString();
    }
    return readDesktopEntryKey(desktopEntryPath(), QLatin1String(IconMarkerKey));
}

bool FreedesktopAssociationStore::removeRegistration() {
    bool removed = false;
    if (!readDesktopEntryKey(desktopEntryPath(), QLatin1String(IconMarkerKey)).isEmpty())
        removed = QFile::remove(desktopEntryPath());
    for (const QString& path : {mimePackagePath(), mimeIconPath()})
        removed = (QFileInfo::exists(path) && QFile::remove(path)) || removed;
    if (removed && runTools_) {
        runTool(QStringLiteral("update-mime-database"), dataDir_ + QStringLiteral("/mime"));
        runTool(QStringLiteral("update-desktop-database"), dataDir_ + QStringLiteral("/applications"));
    }
    return removed;
}

void FreedesktopAssociationStore::setValue(const QString& key, const QString& value) {
    pending_.insert(keyParts(key).join(QLatin1Char('/')).toLower(), value);
}

void FreedesktopAssociationStore::sync() {
    // Which extension names which type, and that type's values.
    QString extension, typeId;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        if (it.key().startsWith(QLatin1Char('.')) && !it.key().contains(QLatin1Char('/'))) {
            extension = it.key();
            typeId = it.value().toLower();
        }
    }
    const QString description = pending_.value(typeId);
    const QString icon = pending_.value(typeId + QStringLiteral("/defaulticon"));
    const QString command = pending_.value(typeId + QStringLiteral("/shell/open/command"));
    pending_.clear();
    if (extension.isEmpty() || !command.startsWith(QLatin1Char('"')))
        return;
    const int close = command.indexOf(QLatin1Char('"'), 1);
    if (close < 0)
        return;
    const QString executable = command.mid(1, close - 1);

    bool ok = writeIconFile(mimeIconPath(), 64);
    ok = writeIconFile(applicationIconPath(), 64) && ok;

    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("mime-info"));
    w.writeDefaultNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    w.writeStartElement(QStringLiteral("mime-type"));
    w.writeAttribute(QStringLiteral("type"), mimeType_);
    w.writeTextElement(QStringLiteral("comment"), description);
    w.writeEmptyElement(QStringLiteral("sub-class-of"));
    w.writeAttribute(QStringLiteral("type"), QStringLiteral("application/xml"));
    w.writeEmptyElement(QStringLiteral("icon"));
    w.writeAttribute(QStringLiteral("name"), QFileInfo(mimeIconPath()).completeBaseName());
    w.writeEmptyElement(QStringLiteral("glob"));
    w.writeAttribute(QStringLiteral("pattern"), QLatin1Char('*') + extension);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    ok = saveFile(mimePackagePath(), xml) && ok;

    // The desktop entry goes last: it carries the marker that makes the
    // registration current.
    if (ok) {
        QString entry;
        QTextStream out(&entry);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Version=1.0\n"
            << "Name=" << escapeDesktopValue(applicationName_) << '\n'
            << "Comment=" << escapeDesktopValue(description) << '\n'
            << "Exec=" << escapeDesktopValue(quoteExecArgument(executable) + QStringLiteral(" %F")) << '\n'
            << "Icon=" << escapeDesktopValue(applicationIconPath()) << '\n'
            << "MimeType=" << mimeType_ << ";\n"
            << "Terminal=false\n"
            << "Categories=Science;Engineering;\n"
            << IconMarkerKey << '=' << escapeDesktopValue(icon) << '\n';
        out.flush();
        ok = saveFile(desktopEntryPath(), entry.toUtf8());
    }
    if (ok && runTools_) {
        runTool(QStringLiteral("update-mime-database"), dataDir_ + QStringLiteral("/mime"));
        runTool(QStringLiteral("update-desktop-database"), dataDir_ + QStringLiteral("/applications"));
    }
}

} // namespace platform
