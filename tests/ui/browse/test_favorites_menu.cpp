#include "app/TForm1.h"
#include "browse/AddFavoriteDialog.h"
#include "browse/FavoritesMenu.h"
#include "browse/InternetShortcut.h"
#include "config/ApplicationTitle.h"
#include "config/CodePage.h"
#include "platform/fake/FakePlatform.h"
#include "ui_TForm1.h"

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

// Hands the next modal window of type T to answer, which must close it; records that it came.
template <typename T> std::shared_ptr<bool> answerNextModal(std::function<void(T*)> answer) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, seen, answer] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window)
            return;
        *seen = true;
        poll->stop();
        poll->deleteLater();
        answer(window);
    });
    poll->start(10);
    return seen;
}

// Rejects any dialog that opens, so a wrong one cannot hang the test.
std::shared_ptr<bool> rejectAnyDialog() {
    return answerNextModal<QDialog>([](QDialog* d) { d->reject(); });
}

class FavoritesMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        favorites = dir.filePath("Favorites");
        fake = makeFakePlatform(favorites);
    }
    void TearDown() override {
        // Any poll timer a test left behind must not answer the next test's dialogs.
        for (QTimer* t : qApp->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
            delete t;
    }

    TForm1& start() {
        form = std::make_unique<TForm1>(*fake.platform, Endpoints::local("http://127.0.0.1:9"),
                                        FormPaths{dir.path(), "koro", QDir(dir.path())});
        form->FormCreate();
        return *form;
    }

    void shortcut(const QString& relative, const QByteArray& url) {
        const QString path = favorites + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    FakeBrowserControl* page() { return fake.browsers->instance(BrowserRole::PageArea); }

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

    QTemporaryDir dir;
    QString favorites;
    FakePlatform fake;
    std::unique_ptr<TForm1> form;
    const QStringList fixedItems{"AddFav", "menusplit5", "FinishFav", "menusplit6"};
};

TEST_F(FavoritesMenuTest, WithoutFavoritesTheFixedItemsStayAlone) {
    TForm1& f = start();
    EXPECT_EQ(objectNames(opened(f.ui().IE1)), fixedItems);

    // An empty folder adds nothing either.
    QDir().mkpath(favorites);
    EXPECT_EQ(objectNames(opened(f.ui().IE1)), fixedItems);
}

TEST_F(FavoritesMenuTest, FoldersAreReadWhenTheyOpenAndAgainWhenTheyChanged) {
    shortcut("deep/inner.url", "http://127.0.0.1/inner");
    TForm1& f = start();
    QMenu* ie1 = f.ui().IE1;
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
    TForm1& f = start();
    QMenu* ie1 = opened(f.ui().IE1);
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
    EXPECT_TRUE(sameImage(news->icon(), f.imageList().pixmap(1)));
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
    EXPECT_TRUE(sameImage(sina->icon(), f.imageList().pixmap(0)));
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
    TForm1& f = start();
    QMenu* folderMenu = opened(item(opened(f.ui().IE1), "folder")->menu());
    page()->navigations.clear();
    item(folderMenu, "site")->trigger();
    EXPECT_EQ(page()->navigations, QStringList{"http://127.0.0.1/site"});

    // A shortcut without an address goes nowhere.
    item(f.ui().IE1, "empty")->trigger();
    EXPECT_EQ(page()->navigations.size(), 1);
}

TEST_F(FavoritesMenuTest, AddFavDoesNothingWithoutAPage) {
    TForm1& f = start();
    page()->setLocationURL(QString());
    auto dialogSeen = rejectAnyDialog();
    f.ui().AddFav->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(*dialogSeen);
    EXPECT_FALSE(QFileInfo::exists(favorites));
}

TEST_F(FavoritesMenuTest, AddFavWritesTheShortcutTheDialogNames) {
    TForm1& f = start();
    const QString url = QStringLiteral("http://127.0.0.1/频道?id=7");
    page()->setLocationURL(url);
    page()->setLocationName(QStringLiteral("频道 / 七"));

    QString prefilled;
    QString shownAddress;
    auto seen = answerNextModal<AddFavoriteDialog>([&](AddFavoriteDialog* d) {
        prefilled = d->findChild<QLineEdit*>("NameEdit")->text();
        shownAddress = d->findChild<QLabel*>("AddressLabel")->text();
        d->findChild<QDialogButtonBox*>("ButtonBox")->button(QDialogButtonBox::Ok)->click();
    });
    f.ui().AddFav->trigger();
    ASSERT_TRUE(*seen);
    EXPECT_EQ(prefilled, QStringLiteral("频道 / 七"));
    EXPECT_EQ(shownAddress, url);
    const QString written = favorites + QStringLiteral("/频道 _ 七.url");
    ASSERT_TRUE(QFileInfo::exists(written)) << savedFiles().join('|').toStdString();
    EXPECT_EQ(codepage::toUnicode(readShortcutUrl(written)), url);

    // Cancel writes nothing; a blank name cannot be accepted.
    bool okEnabled = true;
    seen = answerNextModal<AddFavoriteDialog>([&](AddFavoriteDialog* d) {
        d->setName("   ");
        okEnabled =
            d->findChild<QDialogButtonBox*>("ButtonBox")->button(QDialogButtonBox::Ok)->isEnabled();
        d->reject();
    });
    f.ui().AddFav->trigger();
    ASSERT_TRUE(*seen);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(savedFiles().size(), 1);
}

TEST_F(FavoritesMenuTest, AFailedAddIsReported) {
    // The Favorites "folder" is a file: nothing can be written there.
    QFile blocker(favorites);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TForm1& f = start();
    page()->setLocationURL("http://127.0.0.1/a");
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
    f.ui().AddFav->trigger();
    setApplicationTitle({});
    ASSERT_TRUE(*dialog);
    ASSERT_TRUE(*warning);
    EXPECT_EQ(warningName, "AddFavFailedBox");
    EXPECT_EQ(warningTitle, QStringLiteral("Koro网络电视")) << "a plain box carries the title";
}

TEST_F(FavoritesMenuTest, FinishFavOpensTheFolder) {
    TForm1& f = start();
    f.ui().FinishFav->trigger();
    EXPECT_EQ(fake.favorites->organizeCount, 1);
}

} // namespace
