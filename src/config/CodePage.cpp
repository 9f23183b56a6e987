#include "config/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace koro::codepage {

namespace {
// Qt resolves this name through ICU; the converters are made per call, so no state is shared.
constexpr char Name[] = "GB18030";
} // namespace

QString toUnicode(const QByteArray& bytes) {
    QStringDecoder decoder(Name, QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    // An unfinished character at the end stays pending in the converter and would vanish; a
    // line feed, which no character can absorb, makes it come out as a replacement character.
    QString text = decoder.decode(bytes + '\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

QByteArray fromUnicode(const QString& text) {
    QStringEncoder encoder(Name, QStringConverter::Flag::Stateless);
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}

} // namespace koro::codepage
