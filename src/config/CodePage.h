#pragma once

#include <QByteArray>
#include <QString>

namespace koro::codepage {

// The system code page is GB18030, a superset of GBK: every GBK file decodes unchanged and
// every character the user types can be encoded.
QString toUnicode(const QByteArray& bytes);
QByteArray fromUnicode(const QString& text);

} // namespace koro::codepage
