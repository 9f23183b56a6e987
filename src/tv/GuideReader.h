#pragma once

#include "tv/Guide.h"

#include <QByteArray>
#include <QSet>
#include <QXmlStreamReader>

#include <memory>

namespace koro::tv {

class GzipStream;

// Reads an XMLTV guide a piece at a time, plain or gzip-compressed (told by its first bytes),
// keeping only the programmes that overlap [from, to) of the wanted channels. A guide broken
// halfway keeps what came before the break.
class GuideReader {
public:
    // Channels are wanted by id, or by a display name in lower case; with both sets empty every
    // channel is.
    GuideReader(qint64 from, qint64 to, QSet<QString> wantedIds = {},
                QSet<QString> wantedNames = {});
    ~GuideReader();
    GuideReader(const GuideReader&) = delete;
    GuideReader& operator=(const GuideReader&) = delete;

    // False once nothing more will be read: the document ended, broke, or grew too large.
    bool addData(const QByteArray& chunk);
    Guide finish();

    static constexpr int MaxTitleChars = 200;
    static constexpr int MaxDescriptionChars = 400;
    // Past this much XML the rest of a guide is ignored (a compressed bomb stays harmless).
    static constexpr qint64 MaxXmlBytes = qint64(1) << 30;

private:
    enum class Text { None, DisplayName, Title, Description };

    static constexpr qsizetype HeadBytes = 64;

    bool start();
    bool feed(const QByteArray& chunk);
    void feedXml(const QByteArray& xml);
    void startElement();
    void endElement();
    bool wanted(const QString& channelId) const;

    qint64 m_from;
    qint64 m_to;
    QSet<QString> m_wantedIds;
    QSet<QString> m_wantedNames;
    QSet<QString> m_keptIds;
    QXmlStreamReader m_xml;
    std::unique_ptr<GzipStream> m_gzip;
    QByteArray m_head;
    bool m_started = false;
    bool m_done = false;
    qint64 m_xmlBytes = 0;

    QString m_channelId;
    QStringList m_channelNames;
    bool m_inProgramme = false;
    QString m_programmeChannel;
    Programme m_programme;
    bool m_hasStop = false;
    Text m_text = Text::None;
    QString m_textValue;
    Guide m_guide;
};

} // namespace koro::tv
