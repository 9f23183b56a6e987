#include "browse/AddFavoriteDialog.h"
#include "browse/FavoritesMenu.h"
#include "browse/InternetShortcut.h"
#include "config/ApplicationTitle.h"
#include "config/CodePage.h"
#include "config/ImageList.h"
#include "platform/fake/FakeSimpleServices.h"
#include "support/Files.h"
#include "support/ModalAnswers.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace koro;
using koro::test::answerNextModal;

// Rejects any dialog that opens, so a wrong one cannot hang the test.
std::shared_ptr<bool> rejectAnyDialog() {
    return answerNextModal<QDialog>([](QDialog* d) { d->reject(); });
}

// The menu alone: "IE收藏夹" with its four fixed items, over a Favorites folder of the test's.
class FavoritesMenuTest : public ::testing::Test {
protected:
    FavoritesMenuTest() {
        for (const QString& name : fixedItems) {
            QAction* action = IE1.addAction(name);
            action->setObjectName(name);
            action->setSeparator(name.startsWith("menusplit"));
        }
    }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { koro::test::dropPendingAnswers(); }

    FavoritesMenu& start() {
        menu = std::make_unique<FavoritesMenu>(&IE1, action("AddFav"), action("FinishFav"), &page,
                                               location, images, &owner);
        menu->AddFavToMenu(&IE1);
        return *menu;
    }
    QAction* action(const QString& name) { return IE1.findChild<QAction*>(name); }

    void shortcut(const QString& relative, const QByteArray& url) {
        test::writeFile(favorites + u'/' + relative, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    // The menu as the user sees it when it opens: folders are read then.
    static QMenu* opened(QMenu* menu) {
        emit menu->aboutToShow();
        return menu;
    }
    static QStringList objectNames(const QMenu* menu) {
        QStringList names;
        for (const QAction* a : menu->actions())
            names.append(a->objectName());
        return names;
    }
    static QAction* item(const QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }
    static bool sameImage(const QIcon& icon, const QPixmap& expected) {
        return !icon.isNull() &&
               icon.pixmap(16, 16).toImage() ==
                   expected.toImage().convertToFormat(icon.pixmap(16, 16).toImage().format());
    }
    QStringList savedFiles() const { return QDir(favorites).entryList(QDir::Files, QDir::Name); }

    const QStringList fixedItems{"AddFav", "menusplit5", "FinishFav", "menusplit6"};
    QTemporaryDir dir;
    QString favorites = dir.filePath("Favorites");
    FakeFavoritesLocation location{favorites};
    FakeBrowserControl page{BrowserRole::PageArea};
    ImageList images;
    QWidget owner;
    QMenu IE1;
    std::unique_ptr<FavoritesMenu> menu;
};

TEST_F(FavoritesMenuTest, WithoutFavoritesTheFixedItemsStayAlone) {
    start();
    EXPECT_EQ(objectNames(opened(&IE1)), fixedItems);

    // An empty folder adds nothing either.
    QDir().mkpath(favorites);
    EXPECT_EQ(objectNames(opened(&IE1)), fixedItems);
}

TEST_F(FavoritesMenuTest, FoldersAreReadWhenTheyOpenAndAgainWhenTheyChanged) {
    shortcut("deep/inner.url", "http://127.0.0.1/inner");
    start();
    QMenu* ie1 = &IE1;
    // Nothing is read at start, whatever the folder holds.
    EXPECT_EQ(objectNames(ie1), fixedItems);
    QMenu* deep = item(opened(ie1), "deep")->menu();
    ASSERT_NE(deep, nullptr);
    EXPECT_TRUE(deep->actions().isEmpty()) << "a sub-folder is read when it opens";
    EXPECT_EQ(opened(deep)->actions().size(), 1);

    // A shortcut saved meanwhile shows at the next opening, once.
    shortcut("new.url", "http://127.0.0.1/new");
    ASSERT_NE(item(opened(ie1), "new"), nullptr);
    EXPECT_EQ(opened(ie1)->actions().size(), fixedItems.size() + 2);
}

TEST_F(FavoritesMenuTest, TheFolderBecomesATreeOfMenusAfterTheFixedItems) {
    shortcut("新闻/国内/deep.url", "http://127.0.0.1/deep");
    shortcut("新闻/Sina.url", "http://127.0.0.1/sina");
    shortcut("视频/x.url", "http://127.0.0.1/x");
    shortcut("Tom & Jerry.url", "http://127.0.0.1/tom");
    shortcut("top.url", "http://127.0.0.1/top");
    start();
    QMenu* ie1 = opened(&IE1);
    const QList<QAction*> actions = ie1->actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_EQ(objectNames(ie1).mid(0, 4), fixedItems);
    // Folders first, then shortcuts.
    EXPECT_NE(actions[4]->menu(), nullptr);
    EXPECT_NE(actions[5]->menu(), nullptr);
    EXPECT_EQ(actions[6]->menu(), nullptr);
    EXPECT_EQ(actions[7]->menu(), nullptr);

    QAction* news = item(ie1, "新闻");
    ASSERT_NE(news, nullptr);
    EXPECT_TRUE(sameImage(news->icon(), images.pixmap(ImageList::Folder)));
    QMenu* newsMenu = opened(news->menu());
    ASSERT_EQ(newsMenu->actions().size(), 2);
    ASSERT_NE(newsMenu->actions()[0]->menu(), nullptr);
    EXPECT_EQ(newsMenu->actions()[0]->text(), "国内");
    QAction* deep = item(opened(newsMenu->actions()[0]->menu()), "deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->toolTip(), "http://127.0.0.1/deep");

    QAction* sina = newsMenu->actions()[1];
    EXPECT_EQ(sina->text(), "Sina");
    EXPECT_EQ(sina->toolTip(), "http://127.0.0.1/sina");
    EXPECT_TRUE(sina->isVisible());
    EXPECT_TRUE(sameImage(sina->icon(), images.pixmap(ImageList::Page)));
    EXPECT_TRUE(newsMenu->toolTipsVisible());

    // '&' is shown, not taken as a mnemonic.
    QAction* tom = item(ie1, "Tom && Jerry");
    ASSERT_NE(tom, nullptr);
    EXPECT_EQ(FavoritesMenu::hint(tom), "http://127.0.0.1/tom");

    // The items belong to the menus they are in.
    EXPECT_EQ(sina->parent(), newsMenu);
    EXPECT_EQ(newsMenu->parent(), ie1);
}

TEST_F(FavoritesMenuTest, AnItemOpensItsAddressInThePageArea) {
    shortcut("folder/site.url", "http://127.0.0.1/site");
    shortcut("empty.url", "");
    start();
    QMenu* folderMenu = opened(item(opened(&IE1), "folder")->menu());
    page.navigations.clear();
    item(folderMenu, "site")->trigger();
    EXPECT_EQ(page.navigations, QStringList{"http://127.0.0.1/site"});

    // A shortcut without an address goes nowhere.
    item(&IE1, "empty")->trigger();
    EXPECT_EQ(page.navigations.size(), 1);
}

TEST_F(FavoritesMenuTest, AddFavDoesNothingWithoutAPage) {
    start();
    page.setLocationURL(QString());
    auto dialogSeen = rejectAnyDialog();
    action("AddFav")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(*dialogSeen);
    EXPECT_FALSE(QFileInfo::exists(favorites));
}

TEST_F(FavoritesMenuTest, AddFavWritesTheShortcutTheDialogNames) {
    start();
    const QString url = QStringLiteral("http://127.0.0.1/频道?id=7");
    page.setLocationURL(url);
    page.setLocationName(QStringLiteral("频道 / 七"));

    QString prefilled;
    QString shownAddress;
    auto seen = answerNextModal<AddFavoriteDialog>([&](AddFavoriteDialog* d) {
        prefilled = d->findChild<QLineEdit*>("NameEdit")->text();
        shownAddress = d->findChild<QLabel*>("AddressLabel")->text();
        d->findChild<QDialogButtonBox*>("ButtonBox")->button(QDialogButtonBox::Ok)->click();
    });
    action("AddFav")->trigger();
    ASSERT_TRUE(*seen);
    EXPECT_EQ(prefilled, QStringLiteral("频道 / 七"));
    EXPECT_EQ(shownAddress, url);
    const QString written = favorites + QStringLiteral("/频道 _ 七.url");
    ASSERT_TRUE(QFileInfo::exists(written)) << savedFiles().join('|').toStdString();
    EXPECT_NE(item(opened(&IE1), QStringLiteral("频道 _ 七")), nullptr) << "shown at once";
    EXPECT_EQ(codepage::toUnicode(readShortcutUrl(written)), url);

    // Cancel writes nothing; a blank name cannot be accepted.
    bool okEnabled = true;
    seen = answerNextModal<AddFavoriteDialog>([&](AddFavoriteDialog* d) {
        d->setName("   ");
        okEnabled =
            d->findChild<QDialogButtonBox*>("ButtonBox")->button(QDialogButtonBox::Ok)->isEnabled();
        d->reject();
    });
    action("AddFav")->trigger();
    ASSERT_TRUE(*seen);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(savedFiles().size(), 1);
}

TEST_F(FavoritesMenuTest, AFailedAddIsReported) {
    // The Favorites "folder" is a file: nothing can be written there.
    test::writeFile(favorites, {});
    start();
    page.setLocationURL("http://127.0.0.1/a");
    auto dialog = answerNextModal<AddFavoriteDialog>([](AddFavoriteDialog* d) { d->accept(); });
    // The warning comes after the dialog has closed.
    QString warningName;
    QString warningTitle;
    auto warning = answerNextModal<QMessageBox>([&](QMessageBox* box) {
        warningName = box->objectName();
        warningTitle = box->windowTitle();
        box->accept();
    });
    setApplicationTitle(QStringLiteral("Koro网络电视"));
    action("AddFav")->trigger();
    setApplicationTitle({});
    ASSERT_TRUE(*dialog);
    ASSERT_TRUE(*warning);
    EXPECT_EQ(warningName, "AddFavFailedBox");
    EXPECT_EQ(warningTitle, QStringLiteral("Koro网络电视")) << "a plain box carries the title";
}

TEST_F(FavoritesMenuTest, FinishFavOpensTheFolder) {
    start();
    action("FinishFav")->trigger();
    EXPECT_EQ(location.organizeCount, 1);
}

} // namespace
