// Text of any characters survives the code page: text -> GB18030 bytes -> the same text.
// Bytes of any kind decode without losing a character at the end.

#include "FuzzSupport.h"
#include "config/CodePage.h"

#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using koro::fuzz::check;

constexpr char16_t Replacement = 0xFFFD;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Every character Unicode assigns or reserves is in GB18030, so nothing may be lost.
    const QString text = QString::fromUtf8(bytes);
    const QByteArray encoded = koro::codepage::fromUnicode(text);
    const QString decoded = koro::codepage::toUnicode(encoded);
    check(decoded == text, "text round-trips through the code page", text.toUtf8(),
          decoded.toUtf8());

    // Raw UTF-16 as well, which reaches the code units UTF-8 decoding never produces.
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < units.size(); ++i)
        units[i] = QChar(char16_t(data[2 * i] | (data[2 * i + 1] << 8)));
    bool wellFormed = true;
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (units[i].isHighSurrogate() && i + 1 < units.size() && units[i + 1].isLowSurrogate())
            ++i;
        else if (units[i].isSurrogate())
            wellFormed = false;
    }
    if (wellFormed) {
        const QString back = koro::codepage::toUnicode(koro::codepage::fromUnicode(units));
        check(back == units, "UTF-16 text round-trips through the code page", units.toUtf8(),
              back.toUtf8());
    }

    // A decoded file never ends early: each byte that starts no character gives at least a
    // replacement, so a cut character at the end stays visible.
    const QString fromBytes = koro::codepage::toUnicode(bytes);
    check(bytes.isEmpty() == fromBytes.isEmpty(), "bytes decode to some text", bytes,
          fromBytes.toUtf8());
    if (!fromBytes.contains(QChar(Replacement))) {
        // Bytes that decoded cleanly encode back to themselves.
        check(koro::codepage::fromUnicode(fromBytes) == bytes, "clean bytes round-trip", bytes,
              koro::codepage::fromUnicode(fromBytes));
    }
    return 0;
}
