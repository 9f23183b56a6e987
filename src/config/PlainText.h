#pragma once

#include <QString>

namespace koro {

// A tooltip that shows text exactly as it is. Qt takes any tooltip that looks like markup for
// rich text, which would load what its tags name (an <img> reads files); such text is escaped.
QString plainToolTip(const QString& text);

} // namespace koro
