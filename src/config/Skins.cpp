#include "config/Skins.h"

#include "config/CodePage.h"
#include "config/ImageList.h"
#include "platform/FileAttributes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace koro {

namespace {

bool isBlankBytes(const QByteArray& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    }
    return true;
}

} // namespace

QStringList listSkinFiles(const QString& skinDir) {
    // The filter takes hidden and system entries too: the attribute rule decides about them.
    const QDir dir(skinDir, QStringLiteral("*.skn"), QDir::Unsorted,
                   QDir::Files | QDir::Hidden | QDir::System);
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        if (fileAttributes(entry).plainFile())
            names.append(entry.fileName());
    }
    return names;
}

QString skinCaption(const QString& fileName) {
    QString caption = fileName;
    caption.remove(QStringLiteral(".skn"), Qt::CaseSensitive);
    return caption;
}

bool applySkinFile(const QString& path) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The sample skins draw pictures of the program's own.
    initImageResources();
    app->setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

QString builtInSkinCaption() {
    return QStringLiteral("默认外观");
}

bool isBuiltInSkin(const QByteArray& pifu) {
    return isBlankBytes(pifu);
}

void applyBuiltInSkin(QByteArray& pifu) {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(QString());
    pifu.clear();
}

bool applySkin(const QByteArray& name, QByteArray& pifu, const QString& skinDir) {
    if (isBlankBytes(name))
        return false;
    const bool applied = applySkinFile(skinDir + u'/' + codepage::toUnicode(name));
    pifu = name;
    return applied;
}

SkinMenu::SkinMenu(QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_menu(menu) {}

void SkinMenu::fill(const QString& skinDir) {
    if (!m_menu)
        return;
    QAction* builtIn = m_menu->addAction(builtInSkinCaption());
    connect(builtIn, &QAction::triggered, this, &SkinMenu::builtInChosen);
    const QStringList files = listSkinFiles(skinDir);
    if (!files.isEmpty())
        m_menu->addSeparator();
    for (const QString& fileName : files) {
        auto* action = new QAction(skinCaption(fileName), m_menu);
        action->setToolTip(fileName);
        m_menu->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, action] { emit skinChosen(action->toolTip()); });
    }
}

} // namespace koro
