// Whatever a guide holds, plain or compressed, and however it is cut into pieces, the reader
// never yields a programme that ends before it starts, nor two that overlap, nor one outside
// the window it keeps.

#include "FuzzSupport.h"
#include "tv/GuideReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using koro::fuzz::check;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    constexpr qint64 From = 1767225600; // 2026-01-01
    constexpr qint64 To = From + 7 * 24 * 3600;
    // The size chooses the piece size, so splits land everywhere.
    const qsizetype piece = 1 + qsizetype(size % 61);
    koro::tv::GuideReader reader(From, To);
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        if (!reader.addData(bytes.mid(at, piece)))
            break;
    const koro::tv::Guide guide = reader.finish();
    for (auto it = guide.programmes.cbegin(); it != guide.programmes.cend(); ++it) {
        check(!it->isEmpty(), "no channel without programmes");
        for (qsizetype i = 0; i < it->size(); ++i) {
            const koro::tv::Programme& p = it->at(i);
            check(p.stop > p.start, "a programme ends after it starts", QByteArray::number(p.start),
                  QByteArray::number(p.stop));
            check(p.stop > From && p.start < To, "a programme overlaps the window");
            check(p.title.size() <= koro::tv::GuideReader::MaxTitleChars, "titles are cut");
            if (i > 0)
                check(it->at(i - 1).stop <= p.start, "programmes do not overlap");
        }
    }
    return 0;
}
