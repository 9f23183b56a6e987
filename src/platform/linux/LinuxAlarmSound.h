#pragma once

#include "platform/AlarmSound.h"

#include <memory>

class QSoundEffect;

namespace koro {

class LinuxAlarmSound : public AlarmSound {
public:
    LinuxAlarmSound();
    ~LinuxAlarmSound() override;
    void play(const QString& file) override;

private:
    // Made on first use, so a program that never rings never opens an audio device.
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace koro
