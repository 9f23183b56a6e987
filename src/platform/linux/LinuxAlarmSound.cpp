#include "platform/linux/LinuxAlarmSound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace koro {

LinuxAlarmSound::LinuxAlarmSound() = default;
LinuxAlarmSound::~LinuxAlarmSound() = default;

void LinuxAlarmSound::play(const QString& file) {
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        QApplication::beep();
        return;
    }
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
        // A file that cannot be decoded still rings something.
        QObject::connect(m_effect.get(), &QSoundEffect::statusChanged, m_effect.get(), [this] {
            if (m_effect->status() == QSoundEffect::Error)
                QApplication::beep();
        });
    }
    const QUrl source = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    if (m_effect->source() != source)
        m_effect->setSource(source);
    // Plays once loading has finished when the file is new.
    m_effect->play();
}

} // namespace koro
