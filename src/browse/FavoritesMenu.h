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

    // Scans the Favorites folder into menuItem; a missing folder adds nothing.
    void AddFavToMenu(QMenu* menuItem);
    // Adds the entries of folder to menu: its folders at the insertion point (after the fixed
    // items of IE1, at the front of any other menu), then its shortcuts at the end.
    void fill(QMenu* menu, const FavoriteFolder& folder);

    void ActFavoritClkExecute(QAction* item);
    void AddFavClick();
    void FinishFavClick();

    // The address an item of the menu opens.
    static QString hint(const QAction* item);

private:
    QWidget* dialogOwner() const;

    QPointer<QMenu> m_ie1;
    QPointer<BrowserControl> m_webbrowser1;
    FavoritesLocation& m_location;
    QIcon m_pageIcon;
    QIcon m_folderIcon;
};

} // namespace koro
