#pragma once

#include <QString>

namespace koro {

// The text without the blanks and control characters at either end (everything up to U+0020
// and the other control characters). Wider blanks, such as the ideographic space, are text.
QString trimBlanksAndControls(const QString& text);

} // namespace koro
