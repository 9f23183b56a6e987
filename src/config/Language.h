#pragma once

#include "config/LanguageFile.h"

#include <QLocale>
#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace koro {

// Where the language files of a program live.
struct LanguagePaths {
    QString exeDir;      // the executable's folder
    QString exeBaseName; // the executable's file name without its extension
    int systemLanguageId = 1033;

    // The running program's folder and name, and the system locale's language id.
    static LanguagePaths forApplication();
};

// The Windows language id (LANGID) of a locale; 1033 (English, US) when it is not known.
int windowsLanguageId(const QLocale& locale);

// exeDir/Language/<id>.ini
QString primaryLanguageFile(const LanguagePaths& paths, int languageId);
// exeDir/<exeBaseName>_language/<systemLanguageId>.ini
QString secondaryLanguageFile(const LanguagePaths& paths);

// Translates form: the secondary file first, then the file of languageId over it.
// A value that cannot be converted throws koro::Error; what was set before it stays.
void applyLanguage(int languageId, QWidget* form, const LanguagePaths& paths,
                   TLanguageFile::InfoCallback info = {});

// The platform's codes for the buttons of a message box.
enum MessageBoxResult {
    IdOk = 1,
    IdCancel = 2,
    IdAbort = 3,
    IdRetry = 4,
    IdIgnore = 5,
    IdYes = 6,
    IdNo = 7,
};

// Message-box flags: the low four bits choose the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/
// Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), 0x10/0x20/0x30/0x40 the icon
// (critical, question, warning, information).
constexpr int MbYesNo = 4;
constexpr int MbIconInformation = 0x40;

// The box, application-modal, title from common/msgtle2 and text from common/<textKey> of the
// language files (empty when missing). Not yet shown.
std::unique_ptr<QMessageBox> makeLanguageMessageBox(const QString& textKey, int flags,
                                                    int languageId, const LanguagePaths& paths);

// Runs the box and returns the button pressed; closing the box counts as its escape button.
QMessageBox::StandardButton execMessageBox(QMessageBox& box);

// makeLanguageMessageBox + execMessageBox.
QMessageBox::StandardButton languageMessageBox(const QString& textKey, int flags, int languageId,
                                               const LanguagePaths& paths);

// IdYes for QMessageBox::Yes and so on; IdCancel for a button without a code.
int messageBoxResultCode(QMessageBox::StandardButton button);

} // namespace koro
