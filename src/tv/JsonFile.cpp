#include "tv/JsonFile.h"

#include "config/RegularFile.h"
#include "config/ReplacingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace koro::tv {

namespace {
constexpr qsizetype MaxListBytes = qsizetype(4) * 1024 * 1024;
}

QJsonArray readJsonList(const QString& path) {
    const std::optional<QByteArray> bytes = readRegularFile(path, MaxListBytes);
    return bytes ? QJsonDocument::fromJson(*bytes).array() : QJsonArray();
}

bool writeJsonList(const QString& path, const QJsonArray& list) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ReplacingFile file(path);
    return file.open() && file.write(QJsonDocument(list).toJson(QJsonDocument::Indented)) &&
           file.commit();
}

} // namespace koro::tv
