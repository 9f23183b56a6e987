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
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        // A file that cannot be decoded still rings something.
        QObject::connect(effect_.get(), &QSoundEffect::statusChanged, effect_.get(), [this] {
            if (effect_->status() == QSoundEffect::Error)
                QApplication::beep();
        });
    }
    const QUrl source = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    if (effect_->source() != source)
        effect_->setSource(source);
    // Plays once loading has finished when the file is new.
    effect_->play();
}

} // namespace koro
