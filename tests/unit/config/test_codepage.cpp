#include "config/CodePage.h"

#include <gtest/gtest.h>

namespace {

using namespace koro;

// GBK bytes of "网络电视" and "删除定时播放", as files written on the target systems hold them.
const QByteArray GbkTv("\xCD\xF8\xC2\xE7\xB5\xE7\xCA\xD3");
const QByteArray GbkDelete("\xC9\xBE\xB3\xFD\xB6\xA8\xCA\xB1\xB2\xA5\xB7\xC5");

TEST(CodePage, GbkBytesDecodeAndEncodeUnchanged) {
    EXPECT_EQ(codepage::toUnicode(GbkTv), QString::fromUtf8("网络电视"));
    EXPECT_EQ(codepage::toUnicode(GbkDelete), QString::fromUtf8("删除定时播放"));
    EXPECT_EQ(codepage::fromUnicode(QString::fromUtf8("网络电视")), GbkTv);
    EXPECT_EQ(codepage::fromUnicode(QString::fromUtf8("删除定时播放")), GbkDelete);

    const QByteArray mixed = "Koro" + GbkTv + " 3.0=[x];";
    EXPECT_EQ(codepage::fromUnicode(codepage::toUnicode(mixed)), mixed);
}

TEST(CodePage, CharactersOutsideGbkStillRoundTrip) {
    // Emoji, CJK extension B, Latin, Cyrillic, Korean: none of them is in GBK, all are in GB18030.
    const QString text = QString::fromUtf8("😀 𠀀 Ā ж 한국 € ©");
    const QByteArray bytes = codepage::fromUnicode(text);
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(codepage::toUnicode(bytes), text);
    // Four-byte forms of the standard.
    EXPECT_EQ(codepage::fromUnicode(QString::fromUtf8("😀")), QByteArray("\x94\x39\xFC\x36"));
    EXPECT_EQ(codepage::fromUnicode(QString::fromUtf8("𠀀")), QByteArray("\x95\x32\x82\x36"));
}

TEST(CodePage, BrokenInputIsReplacedNotDropped) {
    // A lead byte without its second half, as a cut file might end.
    const QString decoded = codepage::toUnicode(GbkTv + "\xCD");
    EXPECT_TRUE(decoded.startsWith(QString::fromUtf8("网络电视")));
    EXPECT_EQ(decoded.size(), 5);
    EXPECT_EQ(decoded.back(), QChar(QChar::ReplacementCharacter));
}

} // namespace
