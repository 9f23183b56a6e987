#include "platform/linux/LinuxMemoryTrim.h"

#include <malloc.h>

namespace koro {

void LinuxMemoryTrim::trimWorkingSet() {
    ::malloc_trim(0);
}

} // namespace koro
