#include "app/TForm1.h"
#include "browse/SiteMenus.h"
#include "config/CodePage.h"
#include "platform/fake/FakePlatform.h"
#include "ui_TForm1.h"

#include <QFile>
#include <QMenu>
#include <QSet>
#include <QTemporaryDir>
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

class SiteMenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fake = makeFakePlatform(dir.filePath("Favorites"));
    }

    TForm1& start(Endpoints table = Endpoints::local("http://127.0.0.1:9")) {
        form = std::make_unique<TForm1>(*fake.platform, std::move(table),
                                        FormPaths{dir.path(), "koro", QDir(dir.path())});
        form->FormCreate();
        return *form;
    }

    QAction* item(const QString& name) { return form->findChild<QAction*>(name); }
    FakeBrowserControl* page() { return fake.browsers->instance(BrowserRole::PageArea); }

    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<TForm1> form;
    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
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

TEST_F(SiteMenusTest, ItemsShowTheirAddressAsHintInTheirMenus) {
    TForm1& f = start();
    for (const auto& [menuName, items] : SiteItemsByMenu) {
        auto* menu = f.findChild<QMenu*>(menuName);
        ASSERT_NE(menu, nullptr) << menuName.toStdString();
        EXPECT_TRUE(menu->toolTipsVisible()) << menuName.toStdString();
        for (const QString& name : items) {
            QAction* action = item(name);
            ASSERT_NE(action, nullptr) << name.toStdString();
            EXPECT_TRUE(menu->actions().contains(action)) << name.toStdString();
            EXPECT_EQ(action->toolTip(), endpoints.sites.value(name)) << name.toStdString();
            EXPECT_TRUE(action->isEnabled()) << name.toStdString();
        }
    }
    // The video sites show their own pictures.
    EXPECT_FALSE(item("wole")->icon().isNull());
}

TEST_F(SiteMenusTest, EachItemOpensItsOwnHintInThePageArea) {
    start();
    QSet<QString> targets;
    for (const QString& name : allSiteItems()) {
        const int before = page()->navigations.size();
        item(name)->trigger();
        ASSERT_EQ(page()->navigations.size(), before + 1) << name.toStdString();
        EXPECT_EQ(page()->navigations.last(), endpoints.sites.value(name)) << name.toStdString();
        targets.insert(page()->navigations.last());
    }
    EXPECT_EQ(targets.size(), allSiteItems().size());
}

TEST_F(SiteMenusTest, TheHintIsReadAtClickTime) {
    start();
    item("sixroom")->setToolTip("http://127.0.0.1:9/changed");
    item("hygw")->setToolTip("http://127.0.0.1:9/other");
    item("sixroom")->trigger();
    EXPECT_EQ(page()->navigations.last(), "http://127.0.0.1:9/changed");
    item("hygw")->trigger();
    EXPECT_EQ(page()->navigations.last(), "http://127.0.0.1:9/other");
    item("youku")->trigger();
    EXPECT_EQ(page()->navigations.last(), endpoints.sites.value("youku"));
}

TEST_F(SiteMenusTest, AnItemWithoutAnAddressStaysOff) {
    Endpoints table = endpoints;
    table.sites.remove("youku");
    start(table);
    EXPECT_FALSE(item("youku")->isEnabled());
    item("youku")->trigger();
    EXPECT_TRUE(page()->navigations.isEmpty());
    EXPECT_TRUE(item("tudou")->isEnabled());
}

TEST_F(SiteMenusTest, AFailingPageAreaEndsOnlyTheClick) {
    start();
    page()->throwOnNavigate = true;
    EXPECT_NO_THROW(item("menusina")->trigger());
    page()->throwOnNavigate = false;
    item("menuqq")->trigger();
    EXPECT_EQ(page()->navigations.last(), endpoints.sites.value("menuqq"));
}

// Line selection.

TEST_F(SiteMenusTest, LinesSetTheMarksTheHomePageAndOpenIt) {
    TForm1& f = start();
    ASSERT_TRUE(f.ui().telcom->isChecked());

    f.ui().cnc->trigger();
    EXPECT_FALSE(f.ui().telcom->isChecked());
    EXPECT_TRUE(f.ui().cnc->isChecked());
    EXPECT_EQ(f.settings().SP, codepage::fromUnicode(endpoints.netcomHome));
    EXPECT_EQ(page()->navigations, QStringList{endpoints.netcomHome});

    f.ui().telcom->trigger();
    EXPECT_TRUE(f.ui().telcom->isChecked());
    EXPECT_FALSE(f.ui().cnc->isChecked());
    EXPECT_EQ(f.settings().SP, codepage::fromUnicode(endpoints.telecomHome));
    EXPECT_EQ(page()->navigations.last(), endpoints.telecomHome);
}

TEST_F(SiteMenusTest, ChoosingTheCheckedLineAgainReloadsAndKeepsTheMark) {
    TForm1& f = start();
    f.ui().telcom->trigger();
    f.ui().telcom->trigger();
    EXPECT_TRUE(f.ui().telcom->isChecked());
    EXPECT_FALSE(f.ui().cnc->isChecked());
    EXPECT_EQ(page()->navigations, QStringList({endpoints.telecomHome, endpoints.telecomHome}));

    f.ui().cnc->trigger();
    f.ui().cnc->trigger();
    EXPECT_TRUE(f.ui().cnc->isChecked());
    EXPECT_FALSE(f.ui().telcom->isChecked());
    EXPECT_EQ(page()->navigations.mid(2),
              QStringList({endpoints.netcomHome, endpoints.netcomHome}));
}

TEST_F(SiteMenusTest, TheChosenLineIsTheOneOfTheNextStart) {
    {
        QFile config(dir.filePath("Config.ini"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("[MainForm]\r\nCloseTips=1\r\n");
    }
    TForm1& f = start();
    f.ui().cnc->trigger();
    ASSERT_TRUE(f.close());
    form.reset();

    fake = makeFakePlatform(dir.filePath("Favorites"));
    TForm1& again = start();
    EXPECT_TRUE(again.ui().cnc->isChecked());
    EXPECT_FALSE(again.ui().telcom->isChecked());
    EXPECT_EQ(again.settings().SP, codepage::fromUnicode(endpoints.netcomHome));
}

} // namespace
