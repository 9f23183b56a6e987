#include "browse/AddressEntry.h"

#include "config/Endpoints.h"
#include "config/TextTrim.h"

#include <QRegularExpression>
#include <QUrl>

namespace koro {

bool IsUrl(const QString& text) {
    // The classes are spelt out because \w would also take non-ASCII letters and digits. Both
    // letter cases are listed, which is the same as lower-casing the ASCII letters first.
    static const QRegularExpression address(
        QStringLiteral("([A-Za-z0-9_-]\\.)[A-Za-z0-9_-](/[A-Za-z0-9_./?%&=-]*)?"));
    return address.match(trimBlanksAndControls(text)).hasMatch();
}

QString searchAddress(const Endpoints& endpoints, const QString& engine, const QString& keyword) {
    // Encoded, so "&", "#" or "+" in a keyword cannot change the query around it.
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(keyword));
    if (engine == QLatin1String("Baidu"))
        return endpoints.baiduSearch + encoded + endpoints.baiduSuffix;
    if (engine == QLatin1String("TaoBao"))
        return endpoints.taobaoSearch + encoded + endpoints.taobaoSuffix;
    return {};
}

} // namespace koro
