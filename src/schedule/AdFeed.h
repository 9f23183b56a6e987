#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace koro {

// The lines of a feed file: CR LF, LF and a lone CR each end a line, a last line without an
// end still counts, a NUL byte ends the text. Nothing is trimmed.
QList<QByteArray> splitFeedLines(const QByteArray& bytes);

// Where a click on an ad sends its link.
enum class AdLinkRoute {
    Popup,  // contains "http://" in any case: the program's own popup window
    Shell,  // an https:// address: the default browser
    Ignore, // anything else, so a feed can never make the desktop open a file or program
};
AdLinkRoute routeAdLink(const QString& link);

// The pairs of text and link in file order, wrapping after the last one.
class AdRotation {
public:
    struct Ad {
        QByteArray text;
        QByteArray link;
    };

    // The next pair is the first one.
    void setLines(QList<QByteArray> lines);
    // Nothing while fewer than two lines are loaded.
    std::optional<Ad> next();

    const QList<QByteArray>& lines() const { return m_lines; }
    qsizetype pos() const { return m_pos; }

private:
    QList<QByteArray> m_lines;
    qsizetype m_pos = 0;
};

} // namespace koro
