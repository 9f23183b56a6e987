#pragma once

#include <QJsonArray>
#include <QString>

namespace koro::tv {

// A list kept as a JSON array in the user's folder. A missing or broken file reads as empty;
// a save replaces the file in one step, so a crash never leaves half of one.
QJsonArray readJsonList(const QString& path);
bool writeJsonList(const QString& path, const QJsonArray& list);

} // namespace koro::tv
