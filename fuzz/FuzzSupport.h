#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace koro::fuzz {

// A folder of this process for the files a target writes: in memory where the system offers
// it, since every input writes and syncs a file.
const QString& scratchFolder();

// Writes bytes to path, replacing the file; aborts when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A broken property is a finding: print what was expected and abort, so libFuzzer keeps the
// input as a crash.
[[noreturn]] void fail(const char* what, const QByteArray& expected, const QByteArray& actual);

// Space, tab, vertical tab and form feed: readers differ on the last two, so names and values
// the targets make never have them at either end, and lines they read drop all four.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

inline QByteArray trimBlanks(QByteArray text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

inline void check(bool ok, const char* what, const QByteArray& expected = {},
                  const QByteArray& actual = {}) {
    if (!ok)
        fail(what, expected, actual);
}

} // namespace koro::fuzz
