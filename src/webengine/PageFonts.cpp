#include "webengine/PageFonts.h"

#include <QFontDatabase>
#include <QWebEngineSettings>

namespace koro {

QString cjkSansFamily(const QStringList& installed) {
    static const QStringList preferred = {"Noto Sans CJK SC", "Source Han Sans SC",
                                          "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",
                                          "Droid Sans Fallback"};
    for (const QString& family : preferred) {
        for (const QString& name : installed) {
            if (name.compare(family, Qt::CaseInsensitive) == 0)
                return name;
        }
    }
    return {};
}

void applyPageFonts(QWebEngineSettings& settings) {
    static const QString family = cjkSansFamily(QFontDatabase::families());
    if (family.isEmpty())
        return; // the engine's own fallback is all there is
    settings.setFontFamily(QWebEngineSettings::StandardFont, family);
    settings.setFontFamily(QWebEngineSettings::SansSerifFont, family);
}

} // namespace koro
