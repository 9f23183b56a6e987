#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace koro::test {

// Runs the event loop until done() holds or timeoutMs passes; whether it held. done() is asked
// again every few milliseconds, also while events keep coming: QTest::qWaitFor goes on
// processing as long as any are pending, which a page engine never stops posting.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Deletes the objects that asked to be deleted, as the event loop would: windows that closed
// themselves are gone after this.
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace koro::test
