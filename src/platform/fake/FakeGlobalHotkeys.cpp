#include "platform/fake/FakeGlobalHotkeys.h"

namespace koro {

bool FakeGlobalHotkeys::registerHotKey(int id, std::uint16_t modifiers, std::uint16_t virtualKey) {
    const Key key{modifiers, virtualKey};
    attempts.append(key);
    registered.remove(id);
    if (heldElsewhere.count(key))
        return false;
    registered.insert(id, key);
    return true;
}

void FakeGlobalHotkeys::unregisterHotKey(int id) {
    registered.remove(id);
}

bool FakeGlobalHotkeys::fire(std::uint16_t modifiers, std::uint16_t virtualKey) {
    const Key key{modifiers, virtualKey};
    for (const Key& grabbed : std::as_const(registered)) {
        if (grabbed == key) {
            emit hotKeyPressed(modifiers, virtualKey);
            return true;
        }
    }
    return false;
}

} // namespace koro
