#pragma once

namespace koro {

// The pictures of the reminder; safe to call more than once.
void initScheduleResources();

} // namespace koro
