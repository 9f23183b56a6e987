#include "tv/GuideReader.h"

#include "tv/GzipStream.h"

#include <algorithm>

namespace koro::tv {

GuideReader::GuideReader(qint64 from, qint64 to, QSet<QString> wantedIds, QSet<QString> wantedNames)
    : m_from(from)
    , m_to(to)
    , m_wantedIds(std::move(wantedIds))
    , m_wantedNames(std::move(wantedNames)) {
    m_xml.setNamespaceProcessing(false);
}

GuideReader::~GuideReader() = default;

bool GuideReader::addData(const QByteArray& chunk) {
    if (m_done)
        return false;
    if (!m_started) {
        // The kind of stream and the text's encoding are told by the first bytes, so a few
        // are gathered first.
        m_head += chunk;
        if (m_head.size() < HeadBytes)
            return true;
        return start();
    }
    return feed(chunk);
}

bool GuideReader::start() {
    m_started = true;
    if (GzipStream::looksCompressed(m_head))
        m_gzip = std::make_unique<GzipStream>();
    return feed(std::exchange(m_head, QByteArray()));
}

bool GuideReader::feed(const QByteArray& chunk) {
    if (!m_gzip) {
        feedXml(chunk);
        return !m_done;
    }
    const bool intact = m_gzip->inflate(chunk, [this](const QByteArray& xml) {
        feedXml(xml);
        return !m_done;
    });
    if (!intact)
        m_done = true;
    return !m_done;
}

void GuideReader::feedXml(const QByteArray& xml) {
    if (xml.isEmpty() || m_done)
        return;
    m_xmlBytes += xml.size();
    if (m_xmlBytes > MaxXmlBytes) {
        m_done = true;
        return;
    }
    m_xml.addData(xml);
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Characters:
            if (m_text != Text::None && m_textValue.size() < MaxDescriptionChars)
                m_textValue += m_xml.text();
            break;
        default:
            break;
        }
    }
    if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        return;    // waits for more
    m_done = true; // the end, or a break: what was read stays
}

bool GuideReader::wanted(const QString& channelId) const {
    return (m_wantedIds.isEmpty() && m_wantedNames.isEmpty()) || m_keptIds.contains(channelId);
}

void GuideReader::startElement() {
    const QStringView name = m_xml.name();
    const QXmlStreamAttributes attributes = m_xml.attributes();
    if (name == u"channel") {
        m_channelId = attributes.value(QLatin1String("id")).toString();
        m_channelNames.clear();
    } else if (name == u"display-name" && !m_channelId.isEmpty()) {
        m_text = Text::DisplayName;
    } else if (name == u"programme") {
        m_inProgramme = false;
        m_programme = {};
        m_programmeChannel = attributes.value(QLatin1String("channel")).toString();
        if (!wanted(m_programmeChannel))
            return;
        const std::optional<qint64> start =
            parseGuideTime(attributes.value(QLatin1String("start")));
        const std::optional<qint64> stop = parseGuideTime(attributes.value(QLatin1String("stop")));
        if (!start)
            return;
        m_inProgramme = true;
        m_programme.start = *start;
        m_hasStop = stop.has_value();
        m_programme.stop = stop.value_or(0);
    } else if (m_inProgramme && name == u"title" && m_programme.title.isEmpty()) {
        m_text = Text::Title;
    } else if (m_inProgramme && name == u"desc" && m_programme.description.isEmpty()) {
        m_text = Text::Description;
    } else {
        return;
    }
    m_textValue.clear();
}

void GuideReader::endElement() {
    const QStringView name = m_xml.name();
    if (m_text != Text::None) {
        const QString value = m_textValue.simplified();
        switch (m_text) {
        case Text::DisplayName:
            m_channelNames.append(value.toLower());
            break;
        case Text::Title:
            m_programme.title = value.left(MaxTitleChars);
            break;
        case Text::Description:
            m_programme.description = value.left(MaxDescriptionChars);
            break;
        case Text::None:
            break;
        }
        m_text = Text::None;
        m_textValue.clear();
        return;
    }
    if (name == u"channel" && !m_channelId.isEmpty()) {
        const bool byId = m_wantedIds.contains(m_channelId);
        const auto byName =
            std::find_if(m_channelNames.cbegin(), m_channelNames.cend(),
                         [&](const QString& n) { return m_wantedNames.contains(n); });
        if (byId || byName != m_channelNames.cend() ||
            (m_wantedIds.isEmpty() && m_wantedNames.isEmpty())) {
            m_keptIds.insert(m_channelId);
            for (const QString& n : std::as_const(m_channelNames))
                m_guide.idByName.insert(n, m_channelId);
        }
        m_channelId.clear();
    } else if (name == u"programme" && m_inProgramme) {
        m_inProgramme = false;
        // A programme without an end is placed now and ends where the next one starts.
        if (m_hasStop && (m_programme.stop <= m_programme.start || m_programme.stop <= m_from))
            return;
        if (m_programme.start >= m_to)
            return;
        m_guide.programmes[m_programmeChannel].append(std::move(m_programme));
        m_programme = {};
    }
}

Guide GuideReader::finish() {
    if (!m_started && !m_done)
        start();
    m_done = true;
    for (auto it = m_guide.programmes.begin(); it != m_guide.programmes.end();) {
        QList<Programme>& list = *it;
        std::stable_sort(list.begin(), list.end(),
                         [](const Programme& a, const Programme& b) { return a.start < b.start; });
        QList<Programme> kept;
        kept.reserve(list.size());
        for (qsizetype i = 0; i < list.size(); ++i) {
            Programme& p = list[i];
            if (p.stop == 0)
                p.stop = i + 1 < list.size() ? list[i + 1].start : 0;
            // An overlap is cut where the later programme starts; the later one wins a tie.
            if (!kept.isEmpty() && kept.last().stop > p.start) {
                kept.last().stop = p.start;
                if (kept.last().stop <= kept.last().start)
                    kept.removeLast();
            }
            if (p.stop > p.start)
                kept.append(std::move(p));
        }
        kept.removeIf([this](const Programme& p) { return p.stop <= m_from || p.start >= m_to; });
        if (kept.isEmpty()) {
            it = m_guide.programmes.erase(it);
        } else {
            kept.squeeze();
            *it = std::move(kept);
            ++it;
        }
    }
    return std::move(m_guide);
}

} // namespace koro::tv
