#include "browse/InternetShortcut.h"

#include "config/CodePage.h"
#include "config/Error.h"
#include "config/ProfileText.h"
#include "config/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace koro {

namespace {

constexpr int NameMaxBytes = 255; // of a file name on the file systems the program runs on
constexpr char Extension[] = ".url";

// A shortcut is a few hundred bytes; whatever lies beyond this is not read.
constexpr qsizetype ShortcutReadLimit = 1 << 20;

QString numbered(const QString& base, int number) {
    return number == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(number);
}

// Shortens base by whole characters until base + " (n).url" fits into a file name.
QString fitName(QString base) {
    constexpr int reserve = sizeof(" (99999)") - 1 + sizeof(Extension) - 1;
    while (!base.isEmpty() && QFile::encodeName(base).size() > NameMaxBytes - reserve) {
        base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
    }
    return base.trimmed();
}

} // namespace

QByteArray readShortcutUrl(const QString& path) {
    return readShortcutUrl(QFile::encodeName(path));
}

QByteArray readShortcutUrl(const QByteArray& localPath) {
    // Read as ProfileFile reads it, with the same parser, but with the fewest system calls: the
    // Favorites scan reads thousands of these at start-up.
    std::optional<QByteArray> bytes = readRegularFile(localPath, ShortcutReadLimit);
    if (!bytes)
        return {};
    return ProfileText(std::move(*bytes)).value("InternetShortcut", "URL").value_or(QByteArray());
}

QString shortcutBaseName(const QString& caption) {
    QString name = caption.trimmed();
    for (QChar& c : name) {
        if (c == u'/' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u'_';
    }
    if (name.startsWith(u'.'))
        name[0] = u'_';
    return fitName(name);
}

QString writeShortcut(const QString& folder, const QString& caption, const QString& url) {
    const QString base = shortcutBaseName(caption);
    if (base.isEmpty())
        throw Error("No usable file name in \"" + caption.toStdString() + '"');
    if (!QDir().mkpath(folder))
        throw Error("Unable to create " + folder.toStdString());

    // A line break in the address would start a line of its own in the file.
    QString address = url;
    address.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray content =
        "[InternetShortcut]\r\nURL=" + codepage::fromUnicode(address) + "\r\n";

    // Joined by hand: QDir::filePath takes a name starting with ':' for a resource path.
    const QString prefix = QDir(folder).absolutePath() + u'/';
    for (int number = 1; number < 100000; ++number) {
        QString path = prefix + numbered(base, number) + QLatin1String(Extension);
        QFile file(path);
        // NewOnly fails when the name is taken, also when another program took it just now.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists() || QFileInfo(path).isSymLink())
                continue;
            break;
        }
        if (file.write(content) != content.size() || !file.flush()) {
            file.close();
            file.remove();
            break;
        }
        return path;
    }
    throw Error("Unable to write to " + (prefix + base + QLatin1String(Extension)).toStdString());
}

} // namespace koro
