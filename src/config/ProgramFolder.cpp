#include "config/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace koro {

namespace {

bool writableByUser(const QString& dir) {
    // access() asks the kernel with the real ids, so read-only mounts and ACLs count too.
    return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

void copyMissing(const QDir& from, const QDir& to, const QStringList& patterns) {
    const QFileInfoList files = from.entryInfoList(patterns, QDir::Files | QDir::Readable);
    if (files.isEmpty() || !to.mkpath(QStringLiteral(".")))
        return;
    for (const QFileInfo& file : files) {
        const QString target = to.filePath(file.fileName());
        if (!QFileInfo::exists(target))
            QFile::copy(file.absoluteFilePath(), target);
    }
}

} // namespace

QString ProgramFolder::xdgDataHome() {
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

ProgramFolder ProgramFolder::resolve(const QString& exeDir, const QString& dataHome) {
    // An installed copy says so beside itself: even where its folder is writable (root, or a
    // prefix in the user's home) it must not keep users' files among the program's.
    const bool installed = QFileInfo::exists(exeDir + QStringLiteral("/installed.txt"));
    if (!installed && writableByUser(exeDir))
        return {QDir::cleanPath(exeDir), false};
    const QString own = QDir::cleanPath(dataHome + QStringLiteral("/koro"));
    QDir().mkpath(own);
    return {own, true};
}

void seedUserFolder(const QString& userFolder, const QString& sampleDir) {
    const QDir user(userFolder);
    // A user who has a skin folder has had the samples: what they removed stays removed.
    if (QFileInfo::exists(user.filePath(QStringLiteral("skin"))))
        return;
    const QDir samples(sampleDir);
    if (!samples.exists())
        return;
    copyMissing(QDir(samples.filePath(QStringLiteral("skin"))),
                QDir(user.filePath(QStringLiteral("skin"))), {QStringLiteral("*.skn")});
    copyMissing(QDir(samples.filePath(QStringLiteral("Tvlist"))),
                QDir(user.filePath(QStringLiteral("Tvlist"))), {QStringLiteral("*.wav")});
}

} // namespace koro
