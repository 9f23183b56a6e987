#pragma once

#include "config/Skins.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

// The skins shipped with the program, read from the source tree: a test that includes this
// needs KORO_SOURCE_DIR (see tests/CMakeLists.txt).
namespace koro::test {

inline QString sampleSkinDir() {
    // Not from __FILE__: the shared compiler cache makes that relative to the build folder.
    return QStringLiteral(KORO_SOURCE_DIR "/resources/skins");
}

inline QStringList sampleSkins() {
    return QDir(sampleSkinDir()).entryList({QStringLiteral("*.skn")}, QDir::Files, QDir::Name);
}

// The built-in look (an empty name), then every sample skin.
inline QStringList everyLook() {
    return QStringList{QString()} + sampleSkins();
}

// What a widget shows, pixel by pixel.
inline QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The application wears a sample skin (the built-in look for an empty name) while this lives,
// and the built-in look afterwards.
class SkinWorn {
public:
    explicit SkinWorn(const QString& name) {
        qApp->setStyleSheet(QString());
        m_worn = name.isEmpty() || applySkinFile(sampleSkinDir() + u'/' + name);
    }
    ~SkinWorn() { qApp->setStyleSheet(QString()); }
    SkinWorn(const SkinWorn&) = delete;
    SkinWorn& operator=(const SkinWorn&) = delete;

    bool worn() const { return m_worn; }

private:
    bool m_worn = false;
};

} // namespace koro::test
