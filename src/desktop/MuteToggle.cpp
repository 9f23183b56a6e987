#include "desktop/MuteToggle.h"

#include "config/ApplicationTitle.h"
#include "desktop/TrayNotices.h"

#include <QMessageBox>

namespace koro {

MuteToggle::MuteToggle(Mixer& mixer, TrayNotices& notices, ErrorBox errorBox, QObject* parent)
    : QObject(parent)
    , m_mixer(mixer)
    , m_notices(notices)
    , m_errorBox(std::move(errorBox)) {
    if (!m_errorBox) {
        // A plain box with the application title, over the window that owns the switch.
        m_errorBox = [this](const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok,
                            qobject_cast<QWidget*>(this->parent()));
            box.setObjectName("MixerErrorBox");
            box.exec();
        };
    }
}

void MuteToggle::report(MixerStatus status) {
    // No mixer or no such line says nothing; the texts are fixed and not translated.
    switch (status) {
    case MixerStatus::NoMuteControl:
        m_errorBox(QStringLiteral("GetLineInfo Error"));
        break;
    case MixerStatus::ControlFailed:
        m_errorBox(QStringLiteral("SetControlDetails Error"));
        break;
    case MixerStatus::Ok:
    case MixerStatus::NoMixer:
    case MixerStatus::NoLine:
        break;
    }
}

MixerStatus MuteToggle::GetMute(MixerLine line, bool& muted) {
    const MixerStatus status = m_mixer.getMute(line, muted);
    report(status);
    return status;
}

MixerStatus MuteToggle::SetMute(MixerLine line, bool muted) {
    const MixerStatus status = m_mixer.setMute(line, muted);
    report(status);
    return status;
}

void MuteToggle::MenuSoundClick() {
    bool muted = false;
    // Without a readable state there is nothing sound to toggle, and a notice claiming the
    // sound was muted would be false.
    if (GetMute(MixerLine::Master, muted) != MixerStatus::Ok)
        return;
    if (SetMute(MixerLine::Master, !muted) != MixerStatus::Ok)
        return;
    m_notices.ShowBalloonNotice(QStringLiteral("提示"),
                                muted ? QStringLiteral("取消静音")
                                      : QStringLiteral("注意:系统已静音(按F7恢复)!"),
                                BalloonIconKind::Info, 3);
}

} // namespace koro
