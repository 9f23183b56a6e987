#pragma once

// Recording stand-ins for the services without signals.

#include "platform/AlarmSound.h"
#include "platform/AutostartEntry.h"
#include "platform/DisplayModes.h"
#include "platform/FavoritesLocation.h"
#include "platform/MemoryTrim.h"
#include "platform/Mixer.h"
#include "platform/PlatformInfo.h"
#include "platform/PowerControl.h"
#include "platform/ScreenSaver.h"
#include "platform/ShellOpen.h"
#include "platform/SingleInstance.h"

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace koro {

class FakeSingleInstance : public SingleInstance {
public:
    Mark result = Mark::Taken; // what acquire() answers
    int calls = 0;

    Mark acquire() override {
        ++calls;
        return result;
    }
};

class FakeScreenSaver : public ScreenSaver {
public:
    QList<bool> calls; // each setActive argument, in order

    void setActive(bool active) override { calls.append(active); }
};

class FakeAutostartEntry : public AutostartEntry {
public:
    int removals = 0;

    void removeEntry() override { ++removals; }
};

class FakeMemoryTrim : public MemoryTrim {
public:
    int trims = 0;

    void trimWorkingSet() override { ++trims; }
};

class FakePlatformInfo : public PlatformInfo {
public:
    PlatformFamily value = PlatformFamily::NT;

    PlatformFamily family() const override { return value; }
};

class FakeShellOpen : public ShellOpen {
public:
    QStringList opened;
    QMap<QString, QString> handlers; // by scheme
    bool opens = true;               // what open() answers

    bool open(const QString& address) override {
        opened.append(address);
        return opens;
    }
    QString handlerName(const QString& scheme) const override { return handlers.value(scheme); }
};

// A folder the test owns; organize() creates it like the real one does.
class FakeFavoritesLocation : public FavoritesLocation {
public:
    explicit FakeFavoritesLocation(QString folder);

    int organizeCount = 0;

    QString folder() const override { return m_folder; }
    void organize() override;

private:
    QString m_folder;
};

// Accepts only the sizes in `supported`; `current` follows the accepted requests.
class FakeDisplayModes : public DisplayModes {
public:
    QList<QSize> supported;
    QList<QSize> requests;
    QSize current;

    bool setResolution(std::uint16_t width, std::uint16_t height) override;
    QSize resolution() const override { return current; }
};

class FakeMixer : public Mixer {
public:
    struct Call {
        bool set = false; // setMute, else getMute
        MixerLine line = MixerLine::Master;
        bool muted = false; // the value set, or the value answered
    };

    // Indexed by MixerLine.
    std::array<bool, 4> muted{};
    // Anything but Ok is returned by every call and leaves the state alone.
    MixerStatus status = MixerStatus::Ok;
    QList<Call> calls;

    bool isMuted(MixerLine line) const { return muted[static_cast<std::size_t>(line)]; }
    MixerStatus getMute(MixerLine line, bool& muted) override;
    MixerStatus setMute(MixerLine line, bool muted) override;
};

class FakeAlarmSound : public AlarmSound {
public:
    QStringList plays;

    void play(const QString& file) override { plays.append(file); }
};

class FakePowerControl : public PowerControl {
public:
    int powerOffs = 0;

    void powerOffNow() override { ++powerOffs; }
};

} // namespace koro
