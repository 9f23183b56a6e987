#pragma once

#include <QString>

namespace koro {

class AlarmSound {
public:
    virtual ~AlarmSound() = default;
    // Plays the file once, without waiting; a missing file gives the default beep.
    virtual void play(const QString& file) = 0;
};

} // namespace koro
