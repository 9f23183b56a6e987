#pragma once

#include "platform/ShellOpen.h"

namespace koro {

// The name a desktop entry gives its program, preferring the Chinese one; empty when the
// entry has none.
QString desktopEntryName(const QByteArray& entry);

class LinuxShellOpen : public ShellOpen {
public:
    // A web address goes nowhere without a browser, which xdg-open cannot tell its caller.
    bool open(const QString& address) override;
    // Asks xdg-mime for the scheme's default application and reads its desktop entry.
    QString handlerName(const QString& scheme) const override;
};

} // namespace koro
