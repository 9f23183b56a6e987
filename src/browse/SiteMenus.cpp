#include "browse/SiteMenus.h"

#include "browse/TForm2.h"
#include "config/ContainStep.h"
#include "config/Endpoints.h"
#include "platform/FileVersion.h"
#include "webengine/BrowserControl.h"

#include <QAction>
#include <QMenu>

namespace koro {

namespace {

struct SiteItem {
    const char* item;
    const char* handler; // named so, it reports its own failures
};

constexpr SiteItem SiteItems[] = {
    // 视频站点
    {"sixroom", "sixroomClick"},
    {"youku", "youkuClick"},
    {"tudou", "tudouClick"},
    {"ku6", "ku6Click"},
    {"ououvideo", "ououvideoClick"},
    {"Mofilevideo", "MofilevideoClick"},
    {"sinavideo", "sinavideoClick"},
    {"wole", "woleClick"},
    // 推荐平台
    {"baidurRadio", "baidurRadioClick"},
    {"MP31", "MP31Click"},
    // 我的收藏: 下载站
    {"menucrsky", "menucrskyClick"},
    {"menugreen", "menugreenClick"},
    {"Menusinadown", "MenusinadownClick"},
    {"Menuskycn", "MenuskycnClick"},
    {"menuorsoon", "menuorsoonClick"},
    {"downbank", "downbankClick"},
    {"BT1", "BT1Click"},
    // 新闻站
    {"menusina", "menusinaClick"},
    {"menuqq", "menuqqClick"},
    {"menusohu", "menusohuClick"},
    {"menubaidunews", "menubaidunewsClick"},
    {"menutiexue", "menutiexueClick"},
    {"Cnbeta1", "Cnbeta1Click"},
    // 游戏站
    {"menu4399", "menu4399Click"},
    {"menu17173", "menu17173Click"},
    {"menuuuu9", "menuuuu9Click"},
    {"menupcgames", "menupcgamesClick"},
    // 社区站
    {"menuxiaonei", "menuxiaoneiClick"},
    {"menutianya", "menutianyaClick"},
    {"menucat898", "menucat898Click"},
    // 小说站
    {"menuqidian", "menuqidianClick"},
    {"menuhongxiu", "menuhongxiuClick"},
    {"menuxxsy", "menuxxsyClick"},
    // 财经站
    {"menueastmoney", "menueastmoneyClick"},
    {"menucfi", "menucfiClick"},
    {"menustockstar", "menustockstarClick"},
    // 实用站
    {"MenuTranslate", "MenuTranslateClick"},
    {"Menulccx", "MenulccxClick"},
    {"Menubus", "MenubusClick"},
    {"Menuhaoservers", "MenuhaoserversClick"},
    // 帮 助
    {"zxhelp", "zxhelpClick"},
    {"MainmenuDownnew", "MainmenuDownnewClick"},
    {"hygw", "hygwClick"},
};

} // namespace

SiteMenus::SiteMenus(QWidget& mainWindow, QAction* gywm, BrowserControl& page,
                     const Endpoints& endpoints)
    : QObject(&mainWindow)
    , m_mainWindow(mainWindow)
    , m_page(page)
    , m_endpoints(endpoints) {
    for (const SiteItem& site : SiteItems) {
        auto* item = mainWindow.findChild<QAction*>(QString::fromLatin1(site.item));
        if (!item)
            continue;
        const QString address = endpoints.sites.value(site.item);
        // An empty hint would read back as the caption: an item without an address stays off.
        item->setEnabled(!address.isEmpty());
        item->setToolTip(address);
        for (QObject* shownIn : item->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(shownIn))
                menu->setToolTipsVisible(true);
        }
        connect(item, &QAction::triggered, this,
                [this, item, handler = site.handler] { siteItemClick(item, handler); });
    }
    connect(gywm, &QAction::triggered, this, &SiteMenus::gywmClick);
}

QStringList SiteMenus::siteItemNames() {
    QStringList names;
    for (const SiteItem& site : SiteItems)
        names.append(QString::fromLatin1(site.item));
    return names;
}

void SiteMenus::siteItemClick(QAction* item, const char* handlerName) {
    // Read at click time: whoever changes the hint changes where the item leads.
    containStep(handlerName, [&] { m_page.navigate(item->toolTip()); });
}

void SiteMenus::gywmClick() {
    auto* about = new TForm2(m_mainWindow, m_page, m_endpoints, runningExecutablePath());
    m_currentAbout = about;
    about->show();
}

} // namespace koro
