#pragma once

#include <QByteArray>
#include <QString>

namespace koro {

// How a search engine is named to the user; the name settings store ("Baidu", "TaoBao") stays
// as it is.
inline QString searchEngineDisplayName(const QByteArray& engine) {
    if (engine == "Baidu")
        return QStringLiteral("百度");
    if (engine == "TaoBao")
        return QStringLiteral("淘宝");
    return QString::fromUtf8(engine);
}

} // namespace koro
