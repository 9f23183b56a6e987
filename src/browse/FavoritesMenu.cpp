#include "browse/FavoritesMenu.h"

#include "browse/AddFavoriteDialog.h"
#include "browse/InternetShortcut.h"
#include "config/ApplicationTitle.h"
#include "config/ImageList.h"
#include "platform/FavoritesLocation.h"
#include "webengine/BrowserControl.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace koro {

namespace {

constexpr int FixedItems = 4; // AddFav, menusplit5, FinishFav, menusplit6

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
    , m_pageIcon(images.icon(0))
    , m_folderIcon(images.icon(1)) {
    if (addFav)
        connect(addFav, &QAction::triggered, this, &FavoritesMenu::AddFavClick);
    if (finishFav)
        connect(finishFav, &QAction::triggered, this, &FavoritesMenu::FinishFavClick);
}

void FavoritesMenu::AddFavToMenu(QMenu* menuItem) {
    if (!menuItem)
        return;
    const QString folder = m_location.folder();
    // Without the folder nothing is scanned: no other place stands in for it.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    fill(menuItem, FavoritesScanner().ReadFavorit(folder));
}

void FavoritesMenu::fill(QMenu* menu, const FavoriteFolder& folder) {
    menu->setToolTipsVisible(true);
    QAction* before = nullptr;
    if (menu == m_ie1) {
        const QList<QAction*> fixed = menu->actions();
        before = fixed.value(FixedItems);
    } else if (!menu->actions().isEmpty()) {
        before = menu->actions().constFirst();
    }
    for (const FavoriteFolder& sub : folder.folders) {
        auto* subMenu = new QMenu(menuText(sub.name), menu);
        subMenu->setIcon(m_folderIcon);
        menu->insertMenu(before, subMenu);
        fill(subMenu, sub);
    }
    for (const FavoriteLink& link : folder.links) {
        auto* item = new QAction(m_pageIcon, menuText(link.caption), menu);
        item->setToolTip(link.url);
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
