#pragma once

#include "browse/FavoritesScanner.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace koro {

class BrowserControl;
class FavoritesLocation;
class ImageList;

// The favorites menu: the Favorites folder as a tree of sub-menus under "IE收藏夹", whose
// items open their page in the page area, and its two fixed items that add the current page
// and open the folder.
class FavoritesMenu : public QObject {
    Q_OBJECT
public:
    // ie1 holds the fixed items; the scan adds its entries after them. The parent owns this
    // object and is the owner of the dialogs it opens.
    FavoritesMenu(QMenu* ie1, QAction* addFav, QAction* finishFav, BrowserControl* webbrowser1,
                  FavoritesLocation& location, const ImageList& images, QWidget* parent);

    // Shows the Favorites folder in menuItem, each folder read when its menu opens and again
    // when it has changed since; a missing folder adds nothing.
    void AddFavToMenu(QMenu* menuItem);
    // Adds the entries of folder to menu: its folders at the insertion point (after the fixed
    // items of IE1, at the front of any other menu), then its shortcuts at the end. Folders
    // given without content are read when they open.
    void fill(QMenu* menu, const FavoriteFolder& folder);

    void ActFavoritClkExecute(QAction* item);
    void AddFavClick();
    void FinishFavClick();

    // The address an item of the menu opens.
    static QString hint(const QAction* item);

private:
    QWidget* dialogOwner() const;
    void fillWhenShown(QMenu* menu, const QByteArray& localPath);
    void refresh(QMenu* menu, const QByteArray& localPath);

    QPointer<QMenu> m_ie1;
    QPointer<BrowserControl> m_webbrowser1;
    FavoritesLocation& m_location;
    QByteArray m_root; // the Favorites folder, as the file system names it
    QIcon m_pageIcon;
    QIcon m_folderIcon;
};

} // namespace koro
