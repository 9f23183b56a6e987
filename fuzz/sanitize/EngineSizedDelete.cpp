// Linked into the test programs of the sanitize build only.
//
// The page engine deletes some of its objects through a pointer to a smaller base class, which
// AddressSanitizer reports as a new-delete type mismatch. Its suppression files cannot match
// that report, and turning the check off would also hide such faults in our code. So sized
// delete is replaced here: a call that comes straight from the engine library is passed on
// without its size (every other check stays), any other call goes to the sanitizer unchanged.

#include <dlfcn.h>
#include <link.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr char EngineLibrary[] = "libQt6WebEngineCore.so";

struct CodeRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool contains(const void* address) const {
        const auto a = reinterpret_cast<std::uintptr_t>(address);
        return a >= begin && a < end;
    }
};

int findEngine(dl_phdr_info* info, size_t, void* data) {
    if (!info->dlpi_name || !std::strstr(info->dlpi_name, EngineLibrary))
        return 0;
    auto* range = static_cast<CodeRange*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X))
            continue;
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        const std::uintptr_t end = begin + segment.p_memsz;
        if (range->begin == 0 || begin < range->begin)
            range->begin = begin;
        if (end > range->end)
            range->end = end;
    }
    return 1;
}

// The engine is linked, not loaded later, so its place is known from the first call on.
const CodeRange& engineCode() {
    static const CodeRange range = [] {
        CodeRange found;
        dl_iterate_phdr(findEngine, &found);
        return found;
    }();
    return range;
}

using SizedDelete = void (*)(void*, std::size_t);

SizedDelete sanitizerDelete(const char* name) {
    auto* next = reinterpret_cast<SizedDelete>(dlsym(RTLD_NEXT, name));
    if (!next)
        __builtin_trap();
    return next;
}

} // namespace

void operator delete(void* pointer, std::size_t size) noexcept {
    if (engineCode().contains(__builtin_return_address(0))) {
        ::operator delete(pointer);
        return;
    }
    static const SizedDelete next = sanitizerDelete("_ZdlPvm");
    next(pointer, size);
}

void operator delete[](void* pointer, std::size_t size) noexcept {
    if (engineCode().contains(__builtin_return_address(0))) {
        ::operator delete[](pointer);
        return;
    }
    static const SizedDelete next = sanitizerDelete("_ZdaPvm");
    next(pointer, size);
}
