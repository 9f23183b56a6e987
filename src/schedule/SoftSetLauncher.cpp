#include "schedule/SoftSetLauncher.h"

namespace koro {

SoftSetLauncher::SoftSetLauncher(AppSettings& settings, QString skinDir, SoftSetHooks hooks,
                                 QWidget* owner)
    : QObject(owner)
    , m_settings(settings)
    , m_skinDir(std::move(skinDir))
    , m_hooks(std::move(hooks))
    , m_owner(owner) {}

TForm_SoftSet* SoftSetLauncher::open() {
    auto* dialog = new TForm_SoftSet(m_settings, m_skinDir, m_hooks, m_owner.data());
    m_latest = dialog;
    dialog->show();
    return dialog;
}

void SoftSetLauncher::closeLatest() {
    if (m_latest)
        m_latest->close();
}

} // namespace koro
