// Whatever a feed holds, what the ad line shows is bounded and every link it would open is an
// http or https address with a host: nothing local, no script, no other program.

#include "FuzzSupport.h"
#include "schedule/AdFeed.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using koro::fuzz::check;
    const QByteArray feed(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = koro::splitFeedLines(feed);
    check(lines.size() <= feed.size() + 1, "no more lines than bytes");

    koro::AdRotation rotation;
    rotation.setLines(lines);
    const qsizetype ads = lines.size() / 2;
    // Once round and once more, to see the wrap.
    for (qsizetype i = 0; i < 2 * ads; ++i) {
        const auto ad = rotation.next();
        check(ad.has_value(), "every pair is an ad");
        check(ad->text.size() <= koro::MaxAdTextChars, "the text is cut", {}, ad->text.toUtf8());
        if (ad->link.isEmpty())
            continue;
        const QUrl url(ad->link, QUrl::StrictMode);
        const QString scheme = url.scheme();
        check(url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty(),
              "a link is an http or https address", {}, ad->link.toUtf8());
        check(koro::routeAdLink(ad->link) != koro::AdLinkRoute::Ignore,
              "a link the reader keeps is opened", {}, ad->link.toUtf8());
    }
    if (ads == 0)
        check(!rotation.next().has_value(), "no pair, no ad");
    return 0;
}
