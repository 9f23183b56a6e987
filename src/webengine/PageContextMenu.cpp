#include "webengine/PageContextMenu.h"

#include <QAction>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>

namespace koro {

namespace {

void addPageAction(QMenu& menu, QWebEnginePage& page, const QString& text,
                   QWebEnginePage::WebAction action, bool enabled = true) {
    QAction* item = menu.addAction(text);
    item->setEnabled(enabled && page.action(action)->isEnabled());
    QObject::connect(item, &QAction::triggered, &page,
                     [&page, action] { page.triggerAction(action); });
}

} // namespace

QMenu* makePageContextMenu(QWebEnginePage& page, const QWebEngineContextMenuRequest& request,
                           QWidget* parent) {
    auto* menu = new QMenu(parent);
    using Request = QWebEngineContextMenuRequest;
    const Request::EditFlags can = request.editFlags();
    const bool onLink = !request.linkUrl().isEmpty();
    const bool onImage =
        request.mediaType() == Request::MediaTypeImage && !request.mediaUrl().isEmpty();

    if (onLink) {
        addPageAction(*menu, page, QStringLiteral("在新窗口中打开"),
                      QWebEnginePage::OpenLinkInNewWindow);
        addPageAction(*menu, page, QStringLiteral("复制链接地址"),
                      QWebEnginePage::CopyLinkToClipboard);
    }
    if (onImage) {
        if (!menu->isEmpty())
            menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("复制图片"),
                      QWebEnginePage::CopyImageToClipboard);
        addPageAction(*menu, page, QStringLiteral("复制图片地址"),
                      QWebEnginePage::CopyImageUrlToClipboard);
    }
    if (request.isContentEditable()) {
        if (!menu->isEmpty())
            menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("撤销"), QWebEnginePage::Undo,
                      can.testFlag(Request::CanUndo));
        menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("剪切"), QWebEnginePage::Cut,
                      can.testFlag(Request::CanCut));
        addPageAction(*menu, page, QStringLiteral("复制"), QWebEnginePage::Copy,
                      can.testFlag(Request::CanCopy));
        addPageAction(*menu, page, QStringLiteral("粘贴"), QWebEnginePage::Paste,
                      can.testFlag(Request::CanPaste));
        menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("全选"), QWebEnginePage::SelectAll,
                      can.testFlag(Request::CanSelectAll));
    } else if (!request.selectedText().isEmpty()) {
        if (!menu->isEmpty())
            menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("复制"), QWebEnginePage::Copy);
    }
    if (menu->isEmpty()) {
        addPageAction(*menu, page, QStringLiteral("后退"), QWebEnginePage::Back);
        addPageAction(*menu, page, QStringLiteral("前进"), QWebEnginePage::Forward);
        addPageAction(*menu, page, QStringLiteral("刷新"), QWebEnginePage::Reload);
        menu->addSeparator();
        addPageAction(*menu, page, QStringLiteral("全选"), QWebEnginePage::SelectAll);
    }
    return menu;
}

} // namespace koro
