#include "tv/Playlist.h"

#include "config/CodePage.h"

#include <QStringDecoder>
#include <QUrl>

namespace koro::tv {

namespace {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) // Chinese lists saved by older tools
        text = codepage::toUnicode(bytes);
    return text;
}

// Where the display name starts: after the first comma outside quotes.
qsizetype nameComma(const QString& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u',' && !quoted)
            return i;
    }
    // Unbalanced quotes: the last comma is the best guess.
    return line.lastIndexOf(u',');
}

QString firstGuideUrl(const QString& header) {
    for (const char* key : {"x-tvg-url", "url-tvg"}) {
        const QString value = extinfAttribute(header, QString::fromLatin1(key));
        // Several guides may be listed; the first is taken.
        QString first = value.section(u',', 0, 0).trimmed();
        if (!first.isEmpty())
            return first;
    }
    return {};
}

} // namespace

bool isWebAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

int channelIndex(const Playlist& playlist, const QString& url) {
    for (qsizetype i = 0; i < playlist.entries.size(); ++i)
        if (playlist.entries[i].playable && playlist.entries[i].url == url)
            return int(i);
    return -1;
}

QString extinfAttribute(const QString& line, const QString& key) {
    qsizetype from = 0;
    while (true) {
        const qsizetype at = line.indexOf(key, from, Qt::CaseInsensitive);
        if (at < 0)
            return {};
        from = at + key.size();
        // A whole key: not the tail of a longer one, followed by '='.
        const bool startsWord = at == 0 || line[at - 1].isSpace() || line[at - 1] == u':';
        if (!startsWord || from >= line.size() || line[from] != u'=')
            continue;
        qsizetype begin = from + 1;
        if (begin < line.size() && (line[begin] == u'"' || line[begin] == u'\'')) {
            const QChar quote = line[begin];
            const qsizetype end = line.indexOf(quote, begin + 1);
            return end < 0 ? QString() : line.mid(begin + 1, end - begin - 1).trimmed();
        }
        qsizetype end = begin;
        while (end < line.size() && !line[end].isSpace() && line[end] != u',')
            ++end;
        return line.mid(begin, end - begin).trimmed();
    }
}

Playlist readPlaylist(const QByteArray& bytes) {
    Playlist playlist;
    QString text = decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    PlaylistEntry pending;
    bool described = false;
    QString group; // #EXTGRP applies to the entry that follows
    for (QStringView rawLine : QStringTokenizer(text, u'\n')) {
        // Playlists joined one after another carry their byte order marks along.
        QString line = rawLine.trimmed().toString();
        while (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'#')) {
            if (line.startsWith(QLatin1String("#EXTM3U"), Qt::CaseInsensitive)) {
                if (playlist.guideUrl.isEmpty())
                    playlist.guideUrl = firstGuideUrl(line);
            } else if (line.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive)) {
                pending = {};
                described = true;
                const qsizetype comma = nameComma(line);
                const QString attributes = comma < 0 ? line : line.left(comma);
                pending.name = comma < 0 ? QString() : line.mid(comma + 1).trimmed();
                pending.tvgId = extinfAttribute(attributes, QStringLiteral("tvg-id"));
                pending.tvgName = extinfAttribute(attributes, QStringLiteral("tvg-name"));
                pending.group = extinfAttribute(attributes, QStringLiteral("group-title"));
                pending.logo = extinfAttribute(attributes, QStringLiteral("tvg-logo"));
            } else if (line.startsWith(QLatin1String("#EXTGRP:"), Qt::CaseInsensitive)) {
                group = line.mid(8).trimmed();
            }
            continue;
        }
        PlaylistEntry entry = described ? pending : PlaylistEntry{};
        entry.url = line;
        entry.playable = isWebAddress(line);
        if (entry.group.isEmpty())
            entry.group = group;
        if (entry.name.isEmpty())
            entry.name = entry.tvgName.isEmpty() ? line : entry.tvgName;
        if (!isWebAddress(entry.logo))
            entry.logo.clear();
        playlist.entries.append(std::move(entry));
        described = false;
        group.clear();
    }
    return playlist;
}

} // namespace koro::tv
