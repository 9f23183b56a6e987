// Whatever a playlist holds, reading it keeps every playable entry, in order, and nothing but a
// web address is ever playable or a logo.

#include "FuzzSupport.h"
#include "tv/Playlist.h"

#include <QStringDecoder>
#include <QUrl>

namespace {

bool webAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using koro::fuzz::check;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const koro::tv::Playlist playlist = koro::tv::readPlaylist(bytes);

    // The addresses as a plain reading of the lines finds them: every line that is neither
    // empty nor a comment.
    QStringList expected;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (QString lines = utf8(bytes); !utf8.hasError()) { // other encodings read otherwise
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        for (QString line : lines.split(u'\n')) {
            line = line.trimmed();
            while (line.startsWith(QChar(0xFEFF)))
                line = line.mid(1).trimmed();
            if (!line.isEmpty() && !line.startsWith(u'#') && webAddress(line))
                expected << line;
        }
    }
    QStringList playable;
    for (const koro::tv::PlaylistEntry& e : playlist.entries) {
        check(!e.playable || webAddress(e.url), "a playable entry is a web address", {},
              e.url.toUtf8());
        check(e.logo.isEmpty() || webAddress(e.logo), "a logo is a web address", {},
              e.logo.toUtf8());
        check(!e.name.isEmpty(), "every entry has a name");
        if (e.playable)
            playable << e.url;
    }
    if (!expected.isEmpty() || playable.isEmpty())
        check(playable == expected, "every playable entry is kept in order",
              expected.join('\n').toUtf8(), playable.join('\n').toUtf8());
    return 0;
}
