#include "config/Language.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include <array>
#include <utility>

namespace koro {

namespace {

struct LanguageIdEntry {
    QLocale::Language language;
    QLocale::Territory territory; // AnyTerritory: every territory of the language
    int id;
};

constexpr std::array LanguageIds{
    LanguageIdEntry{QLocale::Chinese, QLocale::China, 2052},
    LanguageIdEntry{QLocale::Chinese, QLocale::Taiwan, 1028},
    LanguageIdEntry{QLocale::Chinese, QLocale::HongKong, 3076},
    LanguageIdEntry{QLocale::Chinese, QLocale::Singapore, 4100},
    LanguageIdEntry{QLocale::English, QLocale::UnitedStates, 1033},
    LanguageIdEntry{QLocale::English, QLocale::UnitedKingdom, 2057},
    LanguageIdEntry{QLocale::Portuguese, QLocale::Brazil, 1046},
    LanguageIdEntry{QLocale::Japanese, QLocale::AnyTerritory, 1041},
    LanguageIdEntry{QLocale::Korean, QLocale::AnyTerritory, 1042},
    LanguageIdEntry{QLocale::German, QLocale::AnyTerritory, 1031},
    LanguageIdEntry{QLocale::French, QLocale::AnyTerritory, 1036},
    LanguageIdEntry{QLocale::Russian, QLocale::AnyTerritory, 1049},
    LanguageIdEntry{QLocale::Spanish, QLocale::AnyTerritory, 3082},
    LanguageIdEntry{QLocale::Italian, QLocale::AnyTerritory, 1040},
};

constexpr int DefaultLanguageId = 1033;

void setButtons(QMessageBox& box, int flags) {
    using B = QMessageBox;
    switch (flags & 0x0f) {
    case 1:
        box.setStandardButtons(B::Ok | B::Cancel);
        box.setDefaultButton(B::Ok);
        break;
    case 2:
        box.setStandardButtons(B::Abort | B::Retry | B::Ignore);
        box.setDefaultButton(B::Abort);
        break;
    case 3:
        box.setStandardButtons(B::Yes | B::No | B::Cancel);
        box.setDefaultButton(B::Yes);
        break;
    case 4:
        box.setStandardButtons(B::Yes | B::No);
        box.setDefaultButton(B::Yes);
        break;
    case 5:
        box.setStandardButtons(B::Retry | B::Cancel);
        box.setDefaultButton(B::Retry);
        break;
    default:
        box.setStandardButtons(B::Ok);
        box.setDefaultButton(B::Ok);
        break;
    }
}

QMessageBox::Icon iconOf(int flags) {
    switch (flags & 0xf0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int messageBoxResultCode(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return IdOk;
    case QMessageBox::Abort:
        return IdAbort;
    case QMessageBox::Retry:
        return IdRetry;
    case QMessageBox::Ignore:
        return IdIgnore;
    case QMessageBox::Yes:
        return IdYes;
    case QMessageBox::No:
        return IdNo;
    default:
        return IdCancel;
    }
}

LanguagePaths LanguagePaths::forApplication() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return {exe.absolutePath(), exe.completeBaseName(), windowsLanguageId(QLocale::system())};
}

int windowsLanguageId(const QLocale& locale) {
    const QLocale::Language language = locale.language();
    const QLocale::Territory territory = locale.territory();
    for (const LanguageIdEntry& entry : LanguageIds) {
        if (entry.language == language && entry.territory == territory)
            return entry.id;
    }
    for (const LanguageIdEntry& entry : LanguageIds) {
        if (entry.language == language && entry.territory == QLocale::AnyTerritory)
            return entry.id;
    }
    return DefaultLanguageId;
}

QString primaryLanguageFile(const LanguagePaths& paths, int languageId) {
    return paths.exeDir + QStringLiteral("/Language/") + QString::number(languageId) +
           QStringLiteral(".ini");
}

QString secondaryLanguageFile(const LanguagePaths& paths) {
    return paths.exeDir + u'/' + paths.exeBaseName + QStringLiteral("_language/") +
           QString::number(paths.systemLanguageId) + QStringLiteral(".ini");
}

void applyLanguage(int languageId, QWidget* form, const LanguagePaths& paths,
                   TLanguageFile::InfoCallback info) {
    TLanguageFile language(secondaryLanguageFile(paths), std::move(info));
    language.SetTargetForm(form);
    language.OpenLanguageFile(primaryLanguageFile(paths, languageId));
}

std::unique_ptr<QMessageBox> makeLanguageMessageBox(const QString& textKey, int flags,
                                                    int languageId, const LanguagePaths& paths) {
    QString title;
    QString text;
    {
        TLanguageFile language(secondaryLanguageFile(paths));
        language.OpenLanguageFile(primaryLanguageFile(paths, languageId));
        title = language.CommonText(QStringLiteral("msgtle2"));
        text = language.CommonText(textKey);
    }
    auto box = std::make_unique<QMessageBox>();
    box->setIcon(iconOf(flags));
    box->setWindowTitle(title);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    setButtons(*box, flags);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

QMessageBox::StandardButton execMessageBox(QMessageBox& box) {
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
    if (!pressed)
        pressed = box.escapeButton();
    return pressed ? box.standardButton(pressed) : QMessageBox::Cancel;
}

QMessageBox::StandardButton languageMessageBox(const QString& textKey, int flags, int languageId,
                                               const LanguagePaths& paths) {
    auto box = makeLanguageMessageBox(textKey, flags, languageId, paths);
    return execMessageBox(*box);
}

} // namespace koro
