#include "platform/fake/FakeSimpleServices.h"

#include <QDir>

namespace koro {

FakeFavoritesLocation::FakeFavoritesLocation(QString folder)
    : m_folder(std::move(folder)) {}

void FakeFavoritesLocation::organize() {
    ++organizeCount;
    QDir().mkpath(m_folder);
}

bool FakeDisplayModes::setResolution(std::uint16_t width, std::uint16_t height) {
    const QSize size(width, height);
    requests.append(size);
    if (!supported.contains(size))
        return false;
    current = size;
    return true;
}

MixerStatus FakeMixer::getMute(MixerLine line, bool& answer) {
    if (status != MixerStatus::Ok) {
        calls.append({false, line, answer});
        return status;
    }
    answer = isMuted(line);
    calls.append({false, line, answer});
    return MixerStatus::Ok;
}

MixerStatus FakeMixer::setMute(MixerLine line, bool value) {
    calls.append({true, line, value});
    if (status != MixerStatus::Ok)
        return status;
    muted[static_cast<std::size_t>(line)] = value;
    return MixerStatus::Ok;
}

} // namespace koro
