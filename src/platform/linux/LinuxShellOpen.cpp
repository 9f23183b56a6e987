#include "platform/linux/LinuxShellOpen.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace koro {

namespace {

QString unescapeDesktopValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != '\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        // Line breaks and tabs become blanks too: the name stands in one line of a question.
        const bool blank = next == 's' || next == 'n' || next == 't' || next == 'r';
        out += blank ? QChar(' ') : next;
    }
    return out;
}

} // namespace

QString desktopEntryName(const QByteArray& entry) {
    // Most specific first.
    const QStringList keys = {"Name[zh_CN]", "Name[zh]", "Name"};
    QMap<QString, QString> found;
    bool inMainGroup = false;
    for (const QByteArray& rawLine : entry.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (keys.contains(key) && !found.contains(key))
            found.insert(key, unescapeDesktopValue(line.mid(eq + 1).trimmed()));
    }
    for (const QString& key : keys) {
        if (!found.value(key).isEmpty())
            return found.value(key);
    }
    return {};
}

bool LinuxShellOpen::open(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (web && handlerName(url.scheme()).isEmpty() &&
        QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty() &&
        QStandardPaths::findExecutable(QStringLiteral("www-browser")).isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

QString LinuxShellOpen::handlerName(const QString& scheme) const {
    static const QRegularExpression validScheme(QStringLiteral("^[a-z][a-z0-9+.-]*$"));
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!validScheme.match(scheme).hasMatch() || tool.isEmpty())
        return {};
    QProcess query;
    query.start(tool, {"query", "default", "x-scheme-handler/" + scheme});
    constexpr int patienceMs = 3000;
    if (!query.waitForFinished(patienceMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    const QString desktopId = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (!desktopId.endsWith(QLatin1String(".desktop")) || desktopId.contains('/'))
        return {};
    QFile file(QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    constexpr qint64 largestEntry = qint64{256} * 1024;
    return desktopEntryName(file.read(largestEntry));
}

} // namespace koro
