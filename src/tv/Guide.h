#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace koro::tv {

// Times are seconds since the epoch (UTC): compact, and the page formats them itself.
struct Programme {
    qint64 start = 0;
    qint64 stop = 0;
    QString title;
    QString description;
};

// What was kept of a programme guide: each channel's programmes in order of start, none ending
// before it starts, none overlapping the next.
struct Guide {
    QHash<QString, QList<Programme>> programmes; // by the guide's channel id
    QHash<QString, QString> idByName;            // a display name in lower case -> channel id

    // The guide's channel for a playlist entry: its tvg-id, else its tvg-name or name.
    QString channelFor(const QString& tvgId, const QString& tvgName, const QString& name) const;
    // The programme running at t and the one after it; null where there is none.
    std::pair<const Programme*, const Programme*> nowNext(const QString& channelId, qint64 t) const;
    qsizetype programmeCount() const;
};

// An XMLTV time: "YYYYMMDDhhmmss" or any initial part of it, optionally followed by a zone
// ("+0800", "+08:00", "Z", "UTC"); UTC when none is given. Seconds since the epoch, or nothing.
std::optional<qint64> parseGuideTime(QStringView text);

} // namespace koro::tv
