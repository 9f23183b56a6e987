#pragma once

class QCoreApplication;

namespace koro {

// Qt's own texts (dialog buttons, edit menus) in Chinese, whatever the system locale, since all
// of the program's texts are Chinese. The translators belong to app; returns how many of Qt's
// catalogues were found.
int installChineseQtTranslations(QCoreApplication& app);

} // namespace koro
