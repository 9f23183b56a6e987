#include "schedule/AdFeed.h"

#include "config/CodePage.h"

#include <QUrl>

namespace koro {

QList<QByteArray> splitFeedLines(const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArray text = nul < 0 ? bytes : bytes.left(nul);
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(text.mid(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString adLinkAddress(const QString& link) {
    if (link.size() > MaxAdLinkChars)
        return {};
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        return {};
    return link;
}

AdLinkRoute routeAdLink(const QString& link) {
    const QString address = adLinkAddress(link);
    if (address.isEmpty())
        return AdLinkRoute::Ignore;
    return address.startsWith(QLatin1String("https:"), Qt::CaseInsensitive) ? AdLinkRoute::Shell
                                                                            : AdLinkRoute::Popup;
}

void AdRotation::setLines(QList<QByteArray> lines) {
    m_lines = std::move(lines);
    m_pos = m_lines.size();
}

std::optional<AdRotation::Ad> AdRotation::next() {
    if (m_lines.size() < 2)
        return std::nullopt;
    if (m_pos >= m_lines.size() - 1 || m_pos < 0)
        m_pos = 0;
    Ad ad{codepage::toUnicode(m_lines[m_pos].left(MaxAdTextChars * 4)).left(MaxAdTextChars),
          adLinkAddress(codepage::toUnicode(m_lines[m_pos + 1].left(MaxAdLinkChars * 4 + 1)))};
    m_pos += 2;
    return ad;
}

} // namespace koro
