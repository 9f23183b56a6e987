#include "platform/linux/LinuxMixer.h"

#include <alsa/asoundlib.h>

#include <functional>
#include <memory>

namespace koro {

namespace {

const char* elementName(MixerLine line) {
    switch (line) {
    case MixerLine::Master:
        return "Master";
    case MixerLine::Microphone:
        return "Capture";
    case MixerLine::WaveOut:
        return "PCM";
    case MixerLine::Synth:
        return "Synth";
    }
    return nullptr;
}

using ElementAction = std::function<MixerStatus(snd_mixer_elem_t*, bool capture)>;

MixerStatus withElement(MixerLine line, const ElementAction& action) {
    const char* name = elementName(line);
    if (!name)
        return MixerStatus::NoLine;
    snd_mixer_t* raw = nullptr;
    if (snd_mixer_open(&raw, 0) < 0)
        return MixerStatus::NoMixer;
    const std::unique_ptr<snd_mixer_t, decltype(&snd_mixer_close)> mixer(raw, &snd_mixer_close);
    if (snd_mixer_attach(raw, "default") < 0 ||
        snd_mixer_selem_register(raw, nullptr, nullptr) < 0 || snd_mixer_load(raw) < 0)
        return MixerStatus::NoMixer;

    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t* element = snd_mixer_find_selem(raw, id);
    if (!element)
        return MixerStatus::NoLine;

    const bool capture = line == MixerLine::Microphone;
    const bool hasSwitch = capture ? snd_mixer_selem_has_capture_switch(element)
                                   : snd_mixer_selem_has_playback_switch(element);
    if (!hasSwitch)
        return MixerStatus::NoMuteControl;
    return action(element, capture);
}

} // namespace

MixerStatus LinuxMixer::getMute(MixerLine line, bool& muted) {
    return withElement(line, [&muted](snd_mixer_elem_t* element, bool capture) {
        int on = 0;
        const int rc =
            capture ? snd_mixer_selem_get_capture_switch(element, SND_MIXER_SCHN_FRONT_LEFT, &on)
                    : snd_mixer_selem_get_playback_switch(element, SND_MIXER_SCHN_FRONT_LEFT, &on);
        if (rc < 0)
            return MixerStatus::ControlFailed;
        muted = on == 0;
        return MixerStatus::Ok;
    });
}

MixerStatus LinuxMixer::setMute(MixerLine line, bool muted) {
    return withElement(line, [muted](snd_mixer_elem_t* element, bool capture) {
        const int on = muted ? 0 : 1;
        const int rc = capture ? snd_mixer_selem_set_capture_switch_all(element, on)
                               : snd_mixer_selem_set_playback_switch_all(element, on);
        return rc < 0 ? MixerStatus::ControlFailed : MixerStatus::Ok;
    });
}

} // namespace koro
