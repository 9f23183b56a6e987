#include "app/StartupFiles.h"

#include "config/Error.h"

#include <QFile>
#include <QSaveFile>

// Q_INIT_RESOURCE declares a function at global scope, so it must not be used inside a namespace.
static void initStartupQrc() {
    Q_INIT_RESOURCE(startup);
}

namespace koro {

namespace {

void makeFolder(const QDir& currentDir, const QString& name) {
    if (!currentDir.mkpath(name))
        throw Error(QStringLiteral("Unable to create folder %1")
                        .arg(currentDir.absoluteFilePath(name))
                        .toStdString());
}

void writeResource(const QString& resource, const QString& target) {
    QFile source(resource);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Missing built-in resource %1").arg(resource).toStdString());
    const QByteArray data = source.readAll();

    // Written beside the target and renamed over it, so a failure never leaves half a file.
    // commit() alone would not notice a failed flush of the buffer (a full disk) and would put
    // a cut file in place, so the flush is checked first.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush() ||
        !file.commit()) {
        file.cancelWriting();
        throw Error(QStringLiteral("Unable to write to %1").arg(target).toStdString());
    }
}

} // namespace

void initStartupResources() {
    initStartupQrc();
}

void extractStartupFiles(const QDir& currentDir) {
    initStartupResources();
    makeFolder(currentDir, QStringLiteral("html"));
    writeResource(QStringLiteral(":/startup/loading.htm"),
                  currentDir.absoluteFilePath(QStringLiteral("html/loading.htm")));
    writeResource(QStringLiteral(":/startup/loading.gif"),
                  currentDir.absoluteFilePath(QStringLiteral("html/loading.gif")));
    makeFolder(currentDir, QStringLiteral("Language"));
    writeResource(QStringLiteral(":/startup/2052.ini"),
                  currentDir.absoluteFilePath(QStringLiteral("Language/2052.ini")));
}

} // namespace koro
