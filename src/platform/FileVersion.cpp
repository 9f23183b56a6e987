#include "platform/FileVersion.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <elf.h>
#include <optional>

namespace koro {

namespace {

constexpr char stampSection[] = ".koro_version";
constexpr std::array<char, 8> stampMagic = {'K', 'O', 'R', 'O', 'V', 'E', 'R', '1'};

struct VersionStamp {
    std::array<char, 8> magic;
    std::uint16_t part[4];
};
static_assert(sizeof(VersionStamp) == 16);

// Lives in this object file, which every caller of fileVersionText pulls in, so each program
// that can report its version also carries it.
[[gnu::used, gnu::section(".koro_version")]] constexpr VersionStamp stamp = {
    stampMagic, {KORO_VERSION_MAJOR, KORO_VERSION_MINOR, KORO_VERSION_PATCH, KORO_VERSION_TWEAK}};

template <typename T> std::optional<T> readAt(QFile& file, std::uint64_t offset) {
    T value;
    if (!file.seek(static_cast<qint64>(offset)))
        return std::nullopt;
    if (file.read(reinterpret_cast<char*>(&value), sizeof value) != qint64(sizeof value))
        return std::nullopt;
    return value;
}

constexpr bool hostIsLittleEndian() {
    return std::endian::native == std::endian::little;
}

std::optional<VersionStamp> findStamp(QFile& file) {
    const auto header = readAt<Elf64_Ehdr>(file, 0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0)
        return std::nullopt;
    // Only files of this machine's own layout; they are the only ones that can be running.
    const unsigned char nativeData = hostIsLittleEndian() ? ELFDATA2LSB : ELFDATA2MSB;
    if (header->e_ident[EI_CLASS] != ELFCLASS64 || header->e_ident[EI_DATA] != nativeData)
        return std::nullopt;
    if (header->e_shoff == 0 || header->e_shentsize != sizeof(Elf64_Shdr))
        return std::nullopt;

    const auto sectionHeader = [&](std::uint64_t index) {
        return readAt<Elf64_Shdr>(file, header->e_shoff + index * sizeof(Elf64_Shdr));
    };
    std::uint64_t count = header->e_shnum;
    std::uint64_t namesIndex = header->e_shstrndx;
    // Extended numbering keeps the real values in section 0.
    if (count == 0 || namesIndex == SHN_XINDEX) {
        const auto first = sectionHeader(0);
        if (!first)
            return std::nullopt;
        if (count == 0)
            count = first->sh_size;
        if (namesIndex == SHN_XINDEX)
            namesIndex = first->sh_link;
    }
    if (namesIndex >= count || count > static_cast<std::uint64_t>(file.size()))
        return std::nullopt;
    const auto names = sectionHeader(namesIndex);
    if (!names || names->sh_type != SHT_STRTAB)
        return std::nullopt;

    for (std::uint64_t i = 0; i < count; ++i) {
        const auto section = sectionHeader(i);
        if (!section)
            return std::nullopt;
        if (section->sh_name >= names->sh_size)
            continue;
        const auto name = readAt<std::array<char, sizeof stampSection>>(file, names->sh_offset +
                                                                                  section->sh_name);
        if (!name || std::memcmp(name->data(), stampSection, sizeof stampSection) != 0)
            continue;
        if (section->sh_type == SHT_NOBITS || section->sh_size < sizeof(VersionStamp))
            return std::nullopt;
        const auto found = readAt<VersionStamp>(file, section->sh_offset);
        if (!found || found->magic != stampMagic)
            return std::nullopt;
        return found;
    }
    return std::nullopt;
}

} // namespace

QString fileVersionText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto found = findStamp(file);
    if (!found)
        return {};
    return QStringLiteral("%1.%2.%3.%4")
        .arg(found->part[0])
        .arg(found->part[1])
        .arg(found->part[2])
        .arg(found->part[3]);
}

QString runningExecutablePath() {
    const QString self = QStringLiteral("/proc/self/exe");
    const QString target = QFileInfo(self).canonicalFilePath();
    // A replaced or deleted file has no name left, yet the link still opens the running image.
    return target.isEmpty() ? self : target;
}

} // namespace koro
