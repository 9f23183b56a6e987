#pragma once

#include <QString>
#include <QStringList>

class QWebEngineSettings;

namespace koro {

// The first sans-serif family of the installed ones that has the Chinese characters; empty
// when there is none.
QString cjkSansFamily(const QStringList& installed);

// Pages that name no font get a sans-serif Chinese one instead of the engine's serif default.
void applyPageFonts(QWebEngineSettings& settings);

} // namespace koro
