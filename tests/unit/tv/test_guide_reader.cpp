#include "tv/GuideReader.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <zlib.h>

namespace koro::tv {
namespace {

constexpr qint64 Day = 24 * 3600;
const qint64 T0 = QDateTime(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();

QByteArray gzip(const QByteArray& data) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray guideXml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
           "<tv><channel id=\"c1\"><display-name>CCTV-1</display-name>"
           "<display-name lang=\"zh\">央视一套</display-name></channel>"
           "<channel id=\"c2\"><display-name>Other</display-name></channel>"
           // Out of order, one without a stop, one ending before it starts, one long gone.
           "<programme start=\"20260501130000 +0000\" stop=\"20260501140000 +0000\" channel=\"c1\">"
           "<title>Second &lt;b&gt;</title><desc>About it</desc></programme>"
           "<programme start=\"20260501200000 +0800\" channel=\"c1\"><title "
           "lang=\"zh\">第一</title>"
           "<title lang=\"en\">First</title></programme>"
           "<programme start=\"20260501150000 +0000\" stop=\"20260501140000 +0000\" channel=\"c1\">"
           "<title>Backwards</title></programme>"
           "<programme start=\"20260420000000\" stop=\"20260420010000\" channel=\"c1\">"
           "<title>Old</title></programme>"
           "<programme start=\"20260501120000\" stop=\"20260501130000\" channel=\"c2\">"
           "<title>Elsewhere</title></programme>"
           "</tv>\n";
}

QStringList titles(const Guide& guide, const QString& channel) {
    QStringList out;
    for (const Programme& p : guide.programmes.value(channel))
        out << p.title;
    return out;
}

Guide readInPieces(const QByteArray& bytes, qsizetype piece, QSet<QString> ids = {},
                   QSet<QString> names = {}) {
    GuideReader reader(T0 - 6 * 3600, T0 + 7 * Day, std::move(ids), std::move(names));
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        reader.addData(bytes.mid(at, piece));
    return reader.finish();
}

TEST(GuideTime, FormatsOfTheWild) {
    const struct {
        const char* text;
        std::optional<qint64> expected;
    } cases[] = {
        {"20260501120000 +0000", T0},
        {"20260501200000 +0800", T0},
        {"20260501200000 +08:00", T0},
        {"20260501063000 -0530", T0},
        {"202605011200", T0},
        {"20260501120000", T0},
        {"20260501120000Z", T0},
        {"20260501120000.000 +0000", T0},
        {"20260501", T0 - 12 * 3600},
        {"2026050", std::nullopt},
        {"20261301120000", std::nullopt},
        {"20260501120000 +2500", std::nullopt},
        {"", std::nullopt},
        {"garbage", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseGuideTime(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(GuideReader, KeepsTheWindowInOrderWithoutBrokenProgrammes) {
    // The same answer whether it comes whole, a byte at a time, or compressed.
    for (const QByteArray& bytes : {guideXml(), gzip(guideXml())}) {
        for (qsizetype piece : {qsizetype(1), qsizetype(7), bytes.size()}) {
            const Guide g = readInPieces(bytes, piece);
            EXPECT_EQ(titles(g, "c1"), (QStringList{"第一", "Second <b>"})) << piece;
            const QList<Programme> c1 = g.programmes.value("c1");
            ASSERT_EQ(c1.size(), 2);
            // Without a stop it runs until the next one starts.
            EXPECT_EQ(c1[0].start, T0);
            EXPECT_EQ(c1[0].stop, T0 + 3600);
            EXPECT_EQ(c1[1].description, "About it");
            EXPECT_EQ(g.channelFor("", "", QStringLiteral("央视一套")), "c1");
        }
    }
}

TEST(GuideReader, OnlyWantedChannelsByIdOrName) {
    const Guide byId = readInPieces(guideXml(), 100, {"c2"});
    EXPECT_EQ(byId.programmes.keys(), QStringList{"c2"});
    const Guide byName = readInPieces(guideXml(), 100, {}, {QStringLiteral("cctv-1")});
    EXPECT_EQ(byName.programmes.keys(), QStringList{"c1"});
    EXPECT_EQ(byName.channelFor("unknown", "CCTV-1", "x"), "c1");
    EXPECT_TRUE(byName.channelFor("c2", "", "Other").isEmpty());
}

TEST(GuideReader, ABreakHalfwayKeepsWhatCameBefore) {
    QByteArray broken = guideXml();
    broken.insert(broken.indexOf("<programme start=\"20260501150000"), "<oops attr=>");
    const Guide g = readInPieces(broken, 64);
    EXPECT_EQ(titles(g, "c1"), (QStringList{"第一", "Second <b>"}));
    // A cut-off download is a break too.
    const Guide cut = readInPieces(guideXml().left(guideXml().indexOf("</desc>")), 64);
    EXPECT_EQ(titles(cut, "c1"), QStringList{});
    QByteArray compressed = gzip(guideXml());
    compressed[compressed.size() / 2] = char(compressed[compressed.size() / 2] ^ 0x55);
    GuideReader reader(T0, T0 + Day);
    reader.addData(compressed); // must simply stop, whatever came out
    reader.finish();
}

TEST(GuideReader, OverlapsAreCutAndNowNextFollowsTheClock) {
    const QByteArray xml = "<tv><programme start=\"20260501120000\" stop=\"20260501140000\" "
                           "channel=\"c\"><title>A</title></programme>"
                           "<programme start=\"20260501130000\" stop=\"20260501150000\" "
                           "channel=\"c\"><title>B</title></programme>"
                           "<programme start=\"20260501130000\" stop=\"20260501143000\" "
                           "channel=\"c\"><title>B2</title></programme></tv>";
    const Guide g = readInPieces(xml, xml.size());
    const QList<Programme> list = g.programmes.value("c");
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].stop, T0 + 3600);
    for (qsizetype i = 0; i + 1 < list.size(); ++i)
        EXPECT_LE(list[i].stop, list[i + 1].start);
    const auto at = [&](qint64 t) {
        const auto [now, next] = g.nowNext("c", t);
        return QString(now ? now->title : "-") + '/' + (next ? next->title : "-");
    };
    EXPECT_EQ(at(T0 - 60), "-/A");
    EXPECT_EQ(at(T0), "A/" + list[1].title);
    EXPECT_EQ(at(T0 + 3600), list[1].title + "/-");
    EXPECT_EQ(at(T0 + 5 * 3600), "-/-");
}

} // namespace
} // namespace koro::tv
