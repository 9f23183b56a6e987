#pragma once

#include <QString>

namespace koro {

// The title an executable's message boxes carry before the program names itself: the file name
// without folder, cut at its first dot, first character kept, the rest in lower case.
QString defaultApplicationTitle(const QString& executablePath);

// The title of plain message boxes: the one set with setApplicationTitle, else the default
// title of the running executable. Kept on the application object, so it lives and dies with it.
QString applicationTitle();
// An empty title goes back to the default.
void setApplicationTitle(const QString& title);

} // namespace koro
