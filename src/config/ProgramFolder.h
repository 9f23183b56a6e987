#pragma once

#include <QString>

namespace koro {

// Where the files that belong beside the program live. A build folder or a portable copy keeps
// them beside the executable; an installed program's folder is read-only for the user, so each
// user gets a folder of their own instead, read and written alike.
struct ProgramFolder {
    QString path; // without trailing slash
    bool perUser = false;

    // exeDir when the user may write there and it is no installed copy (no "installed.txt"
    // beside the executable), otherwise dataHome/koro, created when missing.
    static ProgramFolder resolve(const QString& exeDir, const QString& dataHome);
    // $XDG_DATA_HOME, or ~/.local/share when that is unset or not absolute.
    static QString xdgDataHome();
};

// Copies the samples an installed program ships (skin/*.skn, Tvlist/*.wav under sampleDir)
// into a user's folder that has no skin folder yet (a first start); files the user already
// has are never replaced.
void seedUserFolder(const QString& userFolder, const QString& sampleDir);

} // namespace koro
