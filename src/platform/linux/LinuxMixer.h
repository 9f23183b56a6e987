#pragma once

#include "platform/Mixer.h"

namespace koro {

// ALSA simple mixer on "default". The device is opened for each call and closed again, so
// nothing is held between calls and a sound server started later is found.
class LinuxMixer : public Mixer {
public:
    MixerStatus getMute(MixerLine line, bool& muted) override;
    MixerStatus setMute(MixerLine line, bool muted) override;
};

} // namespace koro
