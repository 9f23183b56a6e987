#pragma once

#include "platform/GlobalHotkeys.h"

#include <QMap>

#include <set>
#include <utility>

namespace koro {

class FakeGlobalHotkeys : public GlobalHotkeys {
    Q_OBJECT
public:
    using Key = std::pair<std::uint16_t, std::uint16_t>; // (modifiers, virtual key)
    using GlobalHotkeys::GlobalHotkeys;

    // Keys that "another program holds": registering them fails.
    std::set<Key> heldElsewhere;
    // Successful grabs by id.
    QMap<int, Key> registered;
    // Every registerHotKey call, refused ones included.
    QList<Key> attempts;

    bool registerHotKey(int id, std::uint16_t modifiers, std::uint16_t virtualKey) override;
    void unregisterHotKey(int id) override;

    // Presses the key; like the real grab, only a registered key reaches the program.
    // Returns whether the signal was emitted.
    bool fire(std::uint16_t modifiers, std::uint16_t virtualKey);
};

} // namespace koro
