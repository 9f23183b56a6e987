#include "tv/RecentPlaylists.h"

#include "tv/JsonFile.h"

#include <QJsonObject>

namespace koro::tv {

RecentPlaylists::RecentPlaylists(QString path)
    : m_path(std::move(path)) {
    for (const auto& value : readJsonList(m_path)) {
        const QJsonObject o = value.toObject();
        Item item{o.value("source").toString(), o.value("lastChannel").toString(),
                  o.value("guide").toString()};
        if (!item.source.isEmpty() && !find(item.source) && m_items.size() < MaxItems)
            m_items.append(item);
    }
}

const RecentPlaylists::Item* RecentPlaylists::find(const QString& source) const {
    for (const Item& item : m_items)
        if (item.source == source)
            return &item;
    return nullptr;
}

RecentPlaylists::Item* RecentPlaylists::findItem(const QString& source) {
    return const_cast<Item*>(std::as_const(*this).find(source));
}

void RecentPlaylists::opened(const QString& source) {
    Item item{source, {}, {}};
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].source == source) {
            item = m_items.takeAt(i);
            break;
        }
    }
    m_items.prepend(item);
    while (m_items.size() > MaxItems)
        m_items.removeLast();
    save();
}

void RecentPlaylists::remove(const QString& source) {
    if (m_items.removeIf([&](const Item& i) { return i.source == source; }) > 0)
        save();
}

void RecentPlaylists::setLastChannel(const QString& source, const QString& channelUrl) {
    if (Item* item = findItem(source); item && item->lastChannel != channelUrl) {
        item->lastChannel = channelUrl;
        save();
    }
}

void RecentPlaylists::setGuide(const QString& source, const QString& guide) {
    if (Item* item = findItem(source); item && item->guide != guide) {
        item->guide = guide;
        save();
    }
}

void RecentPlaylists::save() const {
    QJsonArray list;
    for (const Item& item : m_items)
        list.append(QJsonObject{
            {"source", item.source}, {"lastChannel", item.lastChannel}, {"guide", item.guide}});
    writeJsonList(m_path, list);
}

} // namespace koro::tv
