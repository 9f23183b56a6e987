#pragma once

#include <QDir>

namespace koro {

// Registers the resources the start-up writes out; needed once because they live in a static
// library. extractStartupFiles calls it itself.
void initStartupResources();

// Writes html/loading.htm, html/loading.gif and Language/2052.ini under currentDir from the
// built-in copies, overwriting what is there; creates the folders first. Throws koro::Error
// naming the path that could not be written.
void extractStartupFiles(const QDir& currentDir);

} // namespace koro
