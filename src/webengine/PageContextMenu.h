#pragma once

class QMenu;
class QWebEngineContextMenuRequest;
class QWebEnginePage;
class QWidget;

namespace koro {

// The page area's context menu for what lies under the pointer: a link, a picture, an edit
// field, selected text or the page itself. Every item acts through the page, so opening a
// link in a new window goes the way any new window of the page goes. The caller owns the
// menu.
QMenu* makePageContextMenu(QWebEnginePage& page, const QWebEngineContextMenuRequest& request,
                           QWidget* parent);

} // namespace koro
