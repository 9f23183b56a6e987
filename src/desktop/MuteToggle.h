#pragma once

#include "platform/Mixer.h"

#include <QObject>
#include <QString>

#include <functional>

namespace koro {

class TrayNotices;

// The system mute switch. The state is read from the mixer every time, so the toggle starts
// from whatever the user or another program set last.
class MuteToggle : public QObject {
    Q_OBJECT
public:
    // Shows one of the fixed mixer error texts; the default is a plain message box.
    using ErrorBox = std::function<void(const QString& text)>;

    MuteToggle(Mixer& mixer, TrayNotices& notices, ErrorBox errorBox = {},
               QObject* parent = nullptr);

    // muted is left alone when the mixer cannot be read; the status says why.
    MixerStatus GetMute(MixerLine line, bool& muted);
    MixerStatus SetMute(MixerLine line, bool muted);
    void MenuSoundClick();

private:
    void report(MixerStatus status);

    Mixer& m_mixer;
    TrayNotices& m_notices;
    ErrorBox m_errorBox;
};

} // namespace koro
