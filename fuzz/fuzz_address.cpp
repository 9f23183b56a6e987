// What the user types into the address box. A search address built from any keyword stays on
// the engine's host with the engine's parameters and carries the keyword percent-encoded; the
// address test agrees with its plain description and ignores blanks around the text.

#include "FuzzSupport.h"
#include "browse/AddressEntry.h"
#include "config/Endpoints.h"

#include <QUrl>
#include <QUrlQuery>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using koro::fuzz::check;

bool isNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'_' || u == u'-';
}

// An ASCII letter, digit, underscore or hyphen, a full stop, another such character.
bool looksLikeAddress(const QString& text) {
    for (qsizetype i = 0; i + 2 < text.size(); ++i) {
        if (isNameCharacter(text[i]) && text[i + 1] == u'.' && isNameCharacter(text[i + 2]))
            return true;
    }
    return false;
}

bool isUnreservedOrEscape(const QString& encoded) {
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const QChar c = encoded[i];
        if (isNameCharacter(c) || c == u'.' || c == u'~')
            continue;
        if (c == u'%' && i + 2 < encoded.size() && isxdigit(encoded[i + 1].toLatin1()) &&
            isxdigit(encoded[i + 2].toLatin1())) {
            i += 2;
            continue;
        }
        return false;
    }
    return true;
}

QStringList queryKeys(const QUrl& url) {
    QStringList keys;
    for (const auto& [key, value] : QUrlQuery(url).queryItems())
        keys.append(key);
    return keys;
}

void checkSearch(const koro::Endpoints& endpoints, const QString& engine, const QString& prefix,
                 const QString& suffix, const QString& keyword) {
    const QString address = koro::searchAddress(endpoints, engine, keyword);
    check(address.startsWith(prefix) && address.endsWith(suffix) &&
              address.size() >= prefix.size() + suffix.size(),
          "the search address is the engine's", prefix.toUtf8(), address.toUtf8());
    const QString encoded =
        address.mid(prefix.size(), address.size() - prefix.size() - suffix.size());
    check(isUnreservedOrEscape(encoded), "the keyword is percent-encoded", keyword.toUtf8(),
          encoded.toUtf8());
    check(QByteArray::fromPercentEncoding(encoded.toLatin1()) == keyword.toUtf8(),
          "the keyword decodes back", keyword.toUtf8(), encoded.toUtf8());

    const QUrl url(address, QUrl::StrictMode);
    const QUrl plain(prefix + QStringLiteral("x") + suffix, QUrl::StrictMode);
    check(url.isValid(), "the search address is valid", {}, address.toUtf8());
    check(url.scheme() == plain.scheme() && url.host() == plain.host() &&
              url.port() == plain.port() && url.path() == plain.path() && url.fragment().isNull(),
          "the search address stays on the engine's host and page", plain.toEncoded(),
          url.toEncoded());
    check(queryKeys(url) == queryKeys(plain), "the keyword adds no parameter",
          queryKeys(plain).join(u'&').toUtf8(), queryKeys(url).join(u'&').toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const bool isUrl = koro::IsUrl(text);
    check(isUrl == looksLikeAddress(text), "the address test finds a name, a full stop and a name",
          text.toUtf8(), isUrl ? "address" : "keyword");
    check(koro::IsUrl(QStringLiteral(" \t") + text + QStringLiteral(" \r\n")) == isUrl,
          "blanks around the text change nothing", text.toUtf8());

    static const koro::Endpoints production = koro::Endpoints::production();
    static const koro::Endpoints local =
        koro::Endpoints::local(QStringLiteral("http://127.0.0.1:8080"));
    for (const koro::Endpoints* endpoints : {&production, &local}) {
        checkSearch(*endpoints, QStringLiteral("Baidu"), endpoints->baiduSearch,
                    endpoints->baiduSuffix, text);
        checkSearch(*endpoints, QStringLiteral("TaoBao"), endpoints->taobaoSearch,
                    endpoints->taobaoSuffix, text);
    }
    check(koro::searchAddress(production, QStringLiteral("Google"), text).isEmpty(),
          "an unknown engine gives no address");
    return 0;
}
