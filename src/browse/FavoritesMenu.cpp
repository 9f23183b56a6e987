#include "browse/FavoritesMenu.h"

#include "browse/AddFavoriteDialog.h"
#include "browse/InternetShortcut.h"
#include "config/ApplicationTitle.h"
#include "config/ImageList.h"
#include "config/PlainText.h"
#include "platform/FavoritesLocation.h"
#include "webengine/BrowserControl.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <sys/stat.h>

namespace koro {

namespace {

constexpr int FixedItems = 4; // AddFav, menusplit5, FinishFav, menusplit6
// Marks the entries a scan added, and the folder state a menu was last filled from.
constexpr char ScannedEntry[] = "koroScannedEntry";
constexpr char FilledStamp[] = "koroFilledStamp";

// A name is shown as it is: '&' would otherwise mark a mnemonic and vanish.
QString menuText(const QString& name) {
    QString text = name;
    return text.replace(u'&', QLatin1String("&&"));
}

} // namespace

FavoritesMenu::FavoritesMenu(QMenu* ie1, QAction* addFav, QAction* finishFav,
                             BrowserControl* webbrowser1, FavoritesLocation& location,
                             const ImageList& images, QWidget* parent)
    : QObject(parent)
    , m_ie1(ie1)
    , m_webbrowser1(webbrowser1)
    , m_location(location)
    , m_pageIcon(images.icon(ImageList::Page))
    , m_folderIcon(images.icon(ImageList::Folder)) {
    if (addFav)
        connect(addFav, &QAction::triggered, this, &FavoritesMenu::AddFavClick);
    if (finishFav)
        connect(finishFav, &QAction::triggered, this, &FavoritesMenu::FinishFavClick);
}

void FavoritesMenu::AddFavToMenu(QMenu* menuItem) {
    if (!menuItem)
        return;
    const QString folder = m_location.folder();
    if (folder.isEmpty())
        return;
    // Read when the menu first opens, not at start: a folder of any size costs the start
    // nothing. A missing folder adds nothing until a shortcut has been saved into it.
    m_root = QFile::encodeName(folder);
    fillWhenShown(menuItem, m_root);
}

void FavoritesMenu::fillWhenShown(QMenu* menu, const QByteArray& localPath) {
    menu->setToolTipsVisible(true);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, localPath] { refresh(menu, localPath); });
}

void FavoritesMenu::refresh(QMenu* menu, const QByteArray& localPath) {
    // Filled again only when the folder changed since, so a shortcut saved meanwhile shows.
    struct stat status {};
    const QByteArray stamp = ::stat(localPath.constData(), &status) == 0
                                 ? QByteArray::number(status.st_mtim.tv_sec) + '.' +
                                       QByteArray::number(status.st_mtim.tv_nsec)
                                 : QByteArray("missing");
    const QVariant filled = menu->property(FilledStamp);
    if (filled.isValid() && filled.toByteArray() == stamp)
        return;
    menu->setProperty(FilledStamp, stamp);
    for (QAction* action : menu->actions()) {
        if (action->property(ScannedEntry).toBool()) {
            menu->removeAction(action);
            if (QMenu* sub = action->menu())
                sub->deleteLater();
            else
                action->deleteLater();
        }
    }
    if (QFileInfo(QFile::decodeName(localPath)).isDir())
        fill(menu, FavoritesScanner().ReadFolder(localPath, m_root));
}

void FavoritesMenu::fill(QMenu* menu, const FavoriteFolder& folder) {
    menu->setToolTipsVisible(true);
    QAction* before = nullptr;
    const QList<QAction*> present = menu->actions();
    if (menu == m_ie1)
        before = present.value(FixedItems);
    else if (!present.isEmpty())
        before = present.constFirst();
    for (const FavoriteFolder& sub : folder.folders) {
        auto* subMenu = new QMenu(menuText(sub.name), menu);
        subMenu->setIcon(m_folderIcon);
        subMenu->menuAction()->setProperty(ScannedEntry, true);
        menu->insertMenu(before, subMenu);
        if (sub.folders.empty() && sub.links.empty())
            fillWhenShown(subMenu, sub.localPath);
        else
            fill(subMenu, sub);
    }
    for (const FavoriteLink& link : folder.links) {
        auto* item = new QAction(m_pageIcon, menuText(link.caption), menu);
        item->setProperty(ScannedEntry, true);
        // The address comes from a file anyone may have written: shown as text, never markup.
        item->setToolTip(plainToolTip(link.url));
        item->setStatusTip(link.url);
        item->setData(link.url);
        connect(item, &QAction::triggered, this, [this, item] { ActFavoritClkExecute(item); });
        menu->addAction(item);
    }
}

QString FavoritesMenu::hint(const QAction* item) {
    return item ? item->data().toString() : QString();
}

void FavoritesMenu::ActFavoritClkExecute(QAction* item) {
    const QString url = hint(item);
    // A shortcut without an address has nowhere to go.
    if (url.isEmpty() || !m_webbrowser1)
        return;
    m_webbrowser1->navigate(url);
}

QWidget* FavoritesMenu::dialogOwner() const {
    return qobject_cast<QWidget*>(parent());
}

void FavoritesMenu::AddFavClick() {
    if (!m_webbrowser1)
        return;
    const QString url = m_webbrowser1->locationURL();
    if (url.isEmpty())
        return;
    AddFavoriteDialog dialog(m_webbrowser1->locationName(), url, dialogOwner());
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        writeShortcut(m_location.folder(), dialog.name(), url);
    } catch (const std::exception& e) {
        QMessageBox box(QMessageBox::Warning, applicationTitle(),
                        QStringLiteral("收藏没有保存。\n\n") + QString::fromUtf8(e.what()),
                        QMessageBox::Ok, dialogOwner());
        box.setObjectName("AddFavFailedBox");
        box.exec();
    }
}

void FavoritesMenu::FinishFavClick() {
    m_location.organize();
}

} // namespace koro
