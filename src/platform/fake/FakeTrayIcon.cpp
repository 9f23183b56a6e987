#include "platform/fake/FakeTrayIcon.h"

namespace koro {

bool FakeTrayIcon::showBalloonNotice(const QString& title, const QString& text,
                                     BalloonIconKind kind, int timeoutSeconds) {
    notices.append({title, text, kind, timeoutSeconds});
    return visible;
}

} // namespace koro
