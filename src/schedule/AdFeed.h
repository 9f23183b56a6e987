#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace koro {

// A feed is a few short lines; the download and the read stop here.
constexpr qsizetype MaxFeedBytes = 64 * 1024;
// What a shown ad may hold; the rest of a longer line is dropped.
constexpr qsizetype MaxAdTextChars = 256;
constexpr qsizetype MaxAdLinkChars = 2048;

// The lines of a feed file: CR LF, LF and a lone CR each end a line, a last line without an
// end still counts, a NUL byte ends the text. Nothing is trimmed.
QList<QByteArray> splitFeedLines(const QByteArray& bytes);

// The link as an address the program may open: an absolute http or https address with a host
// (scheme in any letter case); empty for anything else, so a feed can never make the program
// or the desktop open a file, a script or another program.
QString adLinkAddress(const QString& link);

// Where a click on an ad sends its link.
enum class AdLinkRoute {
    Popup,  // an http address: the program's own popup window
    Shell,  // an https address: the default browser
    Ignore, // anything else
};
AdLinkRoute routeAdLink(const QString& link);

// The pairs of text and link in file order, wrapping after the last one.
class AdRotation {
public:
    // Decoded from the code page; the text cut to MaxAdTextChars, the link empty unless
    // adLinkAddress accepts it.
    struct Ad {
        QString text;
        QString link;
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
