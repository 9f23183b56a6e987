#include "platform/linux/LinuxShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace koro {

void LinuxShellOpen::open(const QString& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace koro
