#pragma once

#include <QString>

namespace koro {

// "a.b.c.d" read from the version stamp inside the executable file at path; empty when the
// file carries none.
QString fileVersionText(const QString& path);

// Full path of the running executable.
QString runningExecutablePath();

} // namespace koro
