#pragma once

#include <cstdint>

namespace koro {

// Mixer lines: 0 master output, 1 microphone, 2 wave output, 3 synthesizer.
enum class MixerLine : std::uint8_t { Master = 0, Microphone = 1, WaveOut = 2, Synth = 3 };

enum class MixerStatus {
    Ok,
    NoMixer,       // no device, or it cannot be opened
    NoLine,        // the device has no such line
    NoMuteControl, // the line exists but cannot be muted
    ControlFailed  // reading or writing the switch failed
};

class Mixer {
public:
    virtual ~Mixer() = default;
    virtual MixerStatus getMute(MixerLine line, bool& muted) = 0;
    virtual MixerStatus setMute(MixerLine line, bool muted) = 0;
};

} // namespace koro
