#pragma once

#include <QByteArray>
#include <QString>

namespace koro {

// Internet shortcut files: profile files whose key URL in section InternetShortcut (any
// letter case) holds the address, in the code page.

// The address without blanks around it, read as ProfileText reads a value (not cut); empty
// when the key is missing or the file cannot be read.
QByteArray readShortcutUrl(const QString& path);
// The same for a path given as the file system's bytes, which need not be valid text.
QByteArray readShortcutUrl(const QByteArray& localPath);

// The name a shortcut file may carry for a caption: '/', NUL and other control characters
// become '_', blanks around it are dropped, and a leading dot, which would hide the file, is
// replaced. Empty when nothing usable is left.
QString shortcutBaseName(const QString& caption);

// Writes a new shortcut "<caption>.url" for url into folder, creating the folder when it is
// missing. An existing file is never replaced: " (2)", " (3)"... are added to the name until
// it is free. Returns the path written; throws koro::Error when it cannot be written.
QString writeShortcut(const QString& folder, const QString& caption, const QString& url);

} // namespace koro
