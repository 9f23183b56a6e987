#include "schedule/ScheduleResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function at global scope, so it must not be used inside a namespace.
static void initScheduleQrc() {
    Q_INIT_RESOURCE(schedule);
}

namespace koro {

void initScheduleResources() {
    initScheduleQrc();
}

} // namespace koro
