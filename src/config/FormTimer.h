#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

namespace koro {

// Makes timer a named child of owner whose every tick calls handler: a form's timers are
// components, found and retimed by name like the others.
template <typename Owner, typename Handler>
void setUpFormTimer(QTimer& timer, Owner* owner, const char* name,
                    std::chrono::milliseconds interval, Handler handler) {
    timer.setParent(owner);
    timer.setObjectName(QString::fromLatin1(name));
    timer.setInterval(interval);
    QObject::connect(&timer, &QTimer::timeout, owner, handler);
}

} // namespace koro
