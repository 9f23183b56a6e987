#pragma once

#include "platform/GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QMap>

#include <cstdint>

namespace koro {

// Passive key grabs on the X root window of Qt's own connection. The key presses come back
// through Qt's event dispatch, so no second connection or thread is needed. Off X11 every
// registration fails.
class LinuxGlobalHotkeys : public GlobalHotkeys, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit LinuxGlobalHotkeys(QObject* parent = nullptr);
    ~LinuxGlobalHotkeys() override;

    bool registerHotKey(int id, std::uint16_t modifiers, std::uint16_t virtualKey) override;
    void unregisterHotKey(int id) override;

private:
    struct Grab {
        std::uint16_t modifiers = 0;
        std::uint16_t virtualKey = 0;
        std::uint16_t xModifiers = 0;
        QList<std::uint8_t> keycodes; // empty when the grab failed
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void ungrab(const Grab& grab);

    QMap<int, Grab> m_grabs;
};

} // namespace koro
