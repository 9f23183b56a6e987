#include "browse/LineSelection.h"
#include "browse/SiteMenus.h"
#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/Endpoints.h"
#include "ui_TForm1.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QMenu>
#include <QSet>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using namespace koro;

// The site items as the menus list them, by the menu that shows them.
const QList<QPair<QString, QStringList>> SiteItemsByMenu = {
    {"shipz",
     {"sixroom", "youku", "tudou", "ku6", "ououvideo", "Mofilevideo", "sinavideo", "wole"}},
    {"tuijian", {"baidurRadio", "MP31"}},
    {"Mainmenudownsite",
     {"menucrsky", "menugreen", "Menusinadown", "Menuskycn", "menuorsoon", "downbank", "BT1"}},
    {"Mainmenunewssite",
     {"menusina", "menuqq", "menusohu", "menubaidunews", "menutiexue", "Cnbeta1"}},
    {"Mainmenugamesite", {"menu4399", "menu17173", "menuuuu9", "menupcgames"}},
    {"Mainmenubbs", {"menuxiaonei", "menutianya", "menucat898"}},
    {"Mainmenuxiaoshuo", {"menuqidian", "menuhongxiu", "menuxxsy"}},
    {"Mainmenucaij", {"menueastmoney", "menucfi", "menustockstar"}},
    {"Mainmenuguowai", {"MenuTranslate", "Menulccx", "Menubus", "Menuhaoservers"}},
    {"help", {"zxhelp", "MainmenuDownnew", "hygw"}},
};

QStringList allSiteItems() {
    QStringList names;
    for (const auto& [menu, items] : SiteItemsByMenu)
        names += items;
    return names;
}

bool isAbsoluteWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
           !url.host().isEmpty();
}

// The site menus and the line menu alone, over the menus as the main window's layout has them.
class SiteMenusTest : public ::testing::Test {
protected:
    SiteMenusTest() {
        ui.setupUi(&window);
        page = new FakeBrowserControl(BrowserRole::PageArea, &window);
        settings.SP = codepage::fromUnicode(endpoints.telecomHome);
        ui.telcom->setChecked(true);
    }

    QWidget& start(Endpoints sites = Endpoints::local("http://127.0.0.1:9")) {
        table = std::move(sites);
        new SiteMenus(window, ui.gywm, *page, table);
        new LineSelection(ui.telcom, ui.cnc, *page, table, settings, &window);
        return window;
    }

    QAction* item(const QString& name) { return window.findChild<QAction*>(name); }

    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
    Endpoints table;
    AppSettings settings;
    QWidget window;
    Ui::TForm1 ui;
    FakeBrowserControl* page = nullptr;
};

TEST_F(SiteMenusTest, EverySiteItemHasAnAbsoluteAddressInBothTables) {
    EXPECT_EQ(allSiteItems().size(), 43);
    for (const Endpoints& table : {Endpoints::production(), endpoints}) {
        for (const QString& name : allSiteItems()) {
            EXPECT_TRUE(isAbsoluteWebAddress(table.sites.value(name)))
                << name.toStdString() << " -> " << table.sites.value(name).toStdString();
        }
    }
    // No two items lead to the same page.
    const QStringList addresses = Endpoints::production().sites.values();
    EXPECT_EQ(QSet<QString>(addresses.begin(), addresses.end()).size(), addresses.size());
    const QStringList names = SiteMenus::siteItemNames();
    const QSet<QString> handled(names.begin(), names.end());
    const QStringList expected = allSiteItems();
    EXPECT_EQ(handled, QSet<QString>(expected.begin(), expected.end()));
}

TEST_F(SiteMenusTest, EachItemShowsItsAddressAsHintInItsMenuAndOpensItInThePageArea) {
    QWidget& f = start();
    QSet<QString> targets;
    for (const auto& [menuName, items] : SiteItemsByMenu) {
        SCOPED_TRACE(menuName.toStdString());
        auto* menu = f.findChild<QMenu*>(menuName);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->toolTipsVisible());
        for (const QString& name : items) {
            SCOPED_TRACE(name.toStdString());
            QAction* action = item(name);
            ASSERT_NE(action, nullptr);
            EXPECT_TRUE(menu->actions().contains(action));
            EXPECT_EQ(action->toolTip(), endpoints.sites.value(name));
            EXPECT_TRUE(action->isEnabled());
            const qsizetype before = page->navigations.size();
            action->trigger();
            ASSERT_EQ(page->navigations.size(), before + 1);
            EXPECT_EQ(page->navigations.last(), endpoints.sites.value(name));
            targets.insert(page->navigations.last());
        }
    }
    EXPECT_EQ(targets.size(), allSiteItems().size());
    // The video sites show their own pictures.
    EXPECT_FALSE(item("wole")->icon().isNull());
}

TEST_F(SiteMenusTest, TheHintIsReadAtClickTime) {
    start();
    item("sixroom")->setToolTip("http://127.0.0.1:9/changed");
    item("hygw")->setToolTip("http://127.0.0.1:9/other");
    item("sixroom")->trigger();
    EXPECT_EQ(page->navigations.last(), "http://127.0.0.1:9/changed");
    item("hygw")->trigger();
    EXPECT_EQ(page->navigations.last(), "http://127.0.0.1:9/other");
    item("youku")->trigger();
    EXPECT_EQ(page->navigations.last(), endpoints.sites.value("youku"));
}

TEST_F(SiteMenusTest, AnItemWithoutAnAddressStaysOff) {
    Endpoints table = endpoints;
    table.sites.remove("youku");
    start(table);
    EXPECT_FALSE(item("youku")->isEnabled());
    item("youku")->trigger();
    EXPECT_TRUE(page->navigations.isEmpty());
    EXPECT_TRUE(item("tudou")->isEnabled());
}

TEST_F(SiteMenusTest, AFailingPageAreaEndsOnlyTheClick) {
    start();
    page->throwOnNavigate = true;
    EXPECT_NO_THROW(item("menusina")->trigger());
    page->throwOnNavigate = false;
    item("menuqq")->trigger();
    EXPECT_EQ(page->navigations.last(), endpoints.sites.value("menuqq"));
}

// Line selection.

TEST_F(SiteMenusTest, ALineSetsTheMarksAndTheHomePageAndOpensItAlsoWhenChosenAgain) {
    start();
    ASSERT_TRUE(ui.telcom->isChecked());
    QStringList opened;
    for (QAction* line : {ui.cnc, ui.cnc, ui.telcom, ui.telcom}) {
        SCOPED_TRACE(line->objectName().toStdString());
        const bool telecom = line == ui.telcom;
        const QString home = telecom ? endpoints.telecomHome : endpoints.netcomHome;
        line->trigger();
        EXPECT_EQ(ui.telcom->isChecked(), telecom);
        EXPECT_EQ(ui.cnc->isChecked(), !telecom);
        EXPECT_EQ(settings.SP, codepage::fromUnicode(home));
        EXPECT_EQ(page->navigations, opened << home);
    }
}

} // namespace
