#include "browse/NavigationBar.h"
#include "config/Endpoints.h"
#include "config/ImageList.h"
#include "platform/fake/FakeSimpleServices.h"
#include "support/ModalAnswers.h"
#include "ui_NavigationBar.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using namespace koro;

// Mouse and keys as the window system delivers them, through the application object, so errors
// are contained as in the product.
void enter(QWidget* w) {
    QEnterEvent e(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint pos = {2, 2}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint releaseAt = {2, 2}) {
    mouse(w, QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, releaseAt);
}

void key(QWidget* w, int k, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

bool shown(QWidget* w) {
    return !w->isHidden();
}

class NavigationBarTest : public ::testing::Test {
protected:
    // The bar alone, with the engine the settings name by default unless told otherwise.
    NavigationBar& start(int engine = ImageList::Baidu) {
        // The bar takes the indicator into its address frame, and owns it from then on.
        loading = new FakeBrowserControl(BrowserRole::LoadingIcon);
        bar = std::make_unique<NavigationBar>(page, *loading, shell, endpoints, images,
                                              [this] { return home; });
        if (engine >= 0)
            bar->SetSearchEngine(engine);
        return *bar;
    }

    Ui::NavigationBar& ui() { return bar->ui(); }

    void typeAndPressEnter(const QString& text, int enterKey = Qt::Key_Return) {
        ui().httpaddr->setText(text);
        key(ui().httpaddr, enterKey, "\r");
    }

    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
    QString home = endpoints.telecomHome;
    FakeBrowserControl page{BrowserRole::PageArea};
    FakeBrowserControl* loading = nullptr;
    FakeShellOpen shell;
    ImageList images;
    std::unique_ptr<NavigationBar> bar;
};

struct Button {
    const char* name;
    QLabel* Ui::NavigationBar::*label;
    QLabel* Ui::NavigationBar::*normal;
    QLabel* Ui::NavigationBar::*mouseOver;
    int restingTop;
};

const Button Buttons[] = {
    {"back", &Ui::NavigationBar::Labelback, &Ui::NavigationBar::goback,
     &Ui::NavigationBar::gobackenter, 1},
    {"forward", &Ui::NavigationBar::Labelforward, &Ui::NavigationBar::goforward,
     &Ui::NavigationBar::goforwardenter, 1},
    {"stop", &Ui::NavigationBar::Labelstop, &Ui::NavigationBar::stop, &Ui::NavigationBar::stopenter,
     0},
    {"refresh", &Ui::NavigationBar::Labelrefresh, &Ui::NavigationBar::refresh,
     &Ui::NavigationBar::refreshenter, 0},
    {"home", &Ui::NavigationBar::Labelhome, &Ui::NavigationBar::homepage,
     &Ui::NavigationBar::homepageenter, 0},
    {"go", &Ui::NavigationBar::gohttp, &Ui::NavigationBar::gohttpimg2,
     &Ui::NavigationBar::gohttpimg1, 1},
};

TEST_F(NavigationBarTest, BackAndForwardFollowTheCommandStates) {
    start();
    auto& u = ui();
    auto expectState = [&](bool back, bool forward, const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(u.Labelback->isEnabled(), back);
        EXPECT_EQ(shown(u.goback), back);
        EXPECT_EQ(shown(u.gobackfalse), !back);
        EXPECT_EQ(u.Labelforward->isEnabled(), forward);
        EXPECT_EQ(shown(u.goforward), forward);
        EXPECT_EQ(shown(u.goforwardfalse), !forward);
    };

    // At start the labels are enabled behind the disabled pictures.
    EXPECT_TRUE(u.Labelback->isEnabled());
    EXPECT_TRUE(u.Labelforward->isEnabled());
    EXPECT_TRUE(shown(u.gobackfalse) && !shown(u.goback));
    EXPECT_TRUE(shown(u.goforwardfalse) && !shown(u.goforward));

    // Any notification, even of another command, brings the pictures in line with the labels.
    page.fireCommandStateChange(-1, false);
    expectState(true, true, "other command first");

    page.fireCommandStateChange(BrowserControl::CommandBack, false);
    expectState(false, true, "back off");
    page.fireCommandStateChange(BrowserControl::CommandForward, false);
    expectState(false, false, "forward off");
    page.fireCommandStateChange(BrowserControl::CommandBack, true);
    expectState(true, false, "back on");
    page.fireCommandStateChange(0, true);
    page.fireCommandStateChange(3, false);
    page.fireCommandStateChange(0xFFFF, true);
    expectState(true, false, "other commands change nothing");
    page.fireCommandStateChange(BrowserControl::CommandForward, true);
    expectState(true, true, "forward on");
}

TEST_F(NavigationBarTest, PicturesFollowTheMouseAndADoubleClickIsOneClick) {
    start();
    ui().httpaddr->setText("abc.de");
    for (const Button& b : Buttons) {
        SCOPED_TRACE(b.name);
        QLabel* label = ui().*b.label;
        QLabel* normal = ui().*b.normal;
        QLabel* over = ui().*b.mouseOver;
        normal->show(); // back and forward start on their disabled pictures
        ASSERT_EQ(over->y(), b.restingTop);

        enter(label);
        EXPECT_TRUE(shown(over));
        EXPECT_FALSE(shown(normal));

        mouse(label, QEvent::MouseButtonPress, Qt::RightButton);
        EXPECT_EQ(over->y(), b.restingTop);
        mouse(label, QEvent::MouseButtonPress, Qt::LeftButton);
        EXPECT_EQ(over->y(), b.restingTop + 1);
        mouse(label, QEvent::MouseButtonPress, Qt::LeftButton);
        EXPECT_EQ(over->y(), b.restingTop + 1) << "a second press does not move it further";
        // Releasing any button moves it back.
        mouse(label, QEvent::MouseButtonRelease, Qt::RightButton);
        EXPECT_EQ(over->y(), b.restingTop);

        leave(label);
        EXPECT_FALSE(shown(over));
        EXPECT_TRUE(shown(normal));
        EXPECT_EQ(over->x(), normal->x());

        // The sequence a window system delivers for a double click.
        mouse(label, QEvent::MouseButtonPress, Qt::LeftButton);
        mouse(label, QEvent::MouseButtonRelease, Qt::LeftButton);
        mouse(label, QEvent::MouseButtonDblClick, Qt::LeftButton);
        EXPECT_EQ(over->y(), b.restingTop + 1) << "the second press still nudges the picture";
        mouse(label, QEvent::MouseButtonRelease, Qt::LeftButton);
        EXPECT_EQ(over->y(), b.restingTop);
    }
    EXPECT_EQ(page.backCount, 1);
    EXPECT_EQ(page.forwardCount, 1);
    EXPECT_EQ(page.stopCount, 1);
    EXPECT_EQ(page.refreshCount, 1);
    // Home and go each navigated once.
    EXPECT_EQ(page.navigations.size(), 2);

    // The next single click after a double click counts again.
    click(ui().Labelback);
    EXPECT_EQ(page.backCount, 2);
}

TEST_F(NavigationBarTest, ClicksRunTheBrowserOperations) {
    NavigationBar& f = start();
    FakeBrowserControl* p = &page;
    click(ui().Labelback);
    click(ui().Labelforward);
    click(ui().Labelforward);
    click(ui().Labelstop);
    click(ui().Labelrefresh);
    EXPECT_EQ(p->backCount, 1);
    EXPECT_EQ(p->forwardCount, 2);
    EXPECT_EQ(p->stopCount, 1);
    EXPECT_EQ(p->refreshCount, 1);

    home = endpoints.netcomHome;
    click(ui().Labelhome);
    ASSERT_FALSE(p->navigations.isEmpty());
    EXPECT_EQ(p->navigations.last(), endpoints.netcomHome);

    ui().httpaddr->setText("abc.de");
    click(ui().gohttp);
    EXPECT_EQ(p->navigations.last(), "abc.de");
    EXPECT_EQ(ui().httpaddr->text(), "abc.de");

    // A press that ends outside the label, or with another button, is no click.
    const qsizetype before = p->navigations.size();
    click(ui().Labelback, QPoint(ui().Labelback->width() + 5, 2));
    mouse(ui().Labelrefresh, QEvent::MouseButtonPress, Qt::RightButton);
    mouse(ui().Labelrefresh, QEvent::MouseButtonRelease, Qt::RightButton);
    mouse(ui().Labelstop, QEvent::MouseButtonRelease, Qt::LeftButton);
    click(ui().gohttp, QPoint(2, -3));
    EXPECT_EQ(p->backCount, 1);
    EXPECT_EQ(p->refreshCount, 1);
    EXPECT_EQ(p->stopCount, 1);
    EXPECT_EQ(p->navigations.size(), before);
}

TEST_F(NavigationBarTest, DisabledLabelsTakeNoMouse) {
    start();
    // Entered while enabled: the command state leaves the mouse-over picture, and leaving a
    // disabled label changes nothing.
    enter(ui().Labelback);
    page.fireCommandStateChange(BrowserControl::CommandBack, false);
    EXPECT_TRUE(shown(ui().gobackenter));
    leave(ui().Labelback);
    EXPECT_TRUE(shown(ui().gobackenter));
    EXPECT_FALSE(shown(ui().goback));
    ui().gobackenter->hide();

    page.fireCommandStateChange(BrowserControl::CommandBack, false);
    page.fireCommandStateChange(BrowserControl::CommandForward, false);
    for (QLabel* label : {ui().Labelback, ui().Labelforward}) {
        enter(label);
        click(label);
        mouse(label, QEvent::MouseButtonPress, Qt::LeftButton);
    }
    EXPECT_EQ(page.backCount, 0);
    EXPECT_EQ(page.forwardCount, 0);
    EXPECT_FALSE(shown(ui().gobackenter));
    EXPECT_FALSE(shown(ui().goforwardenter));
    EXPECT_EQ(ui().gobackenter->y(), 1);
    EXPECT_EQ(ui().goforwardenter->y(), 1);

    // Enabled again, the same mouse works.
    page.fireCommandStateChange(BrowserControl::CommandBack, true);
    mouse(ui().Labelback, QEvent::MouseButtonRelease,
          Qt::LeftButton); // the press above was ignored
    EXPECT_EQ(page.backCount, 0);
    click(ui().Labelback);
    EXPECT_EQ(page.backCount, 1);
}

TEST_F(NavigationBarTest, EnterOpensAddressesAndSearchesKeywords) {
    start();
    ASSERT_EQ(bar->searchEngine(), "Baidu");
    int returnPressed = 0;
    QObject::connect(ui().httpaddr, &QLineEdit::returnPressed, [&] { ++returnPressed; });

    typeAndPressEnter("  Abc.DE/Path  ");
    ASSERT_FALSE(page.navigations.isEmpty());
    EXPECT_EQ(page.navigations.last(), "Abc.DE/Path");
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(ui().httpaddr->text(), "  Abc.DE/Path  ") << "the program never writes the box";

    const qsizetype navigated = page.navigations.size();
    typeAndPressEnter(QStringLiteral("电视 & more"), Qt::Key_Enter);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened.last(),
              endpoints.baiduSearch + "%E7%94%B5%E8%A7%86%20%26%20more" + endpoints.baiduSuffix);
    EXPECT_EQ(page.navigations.size(), navigated);

    typeAndPressEnter(" \t ");
    EXPECT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(page.navigations.size(), navigated);
    EXPECT_EQ(returnPressed, 0) << "Enter is consumed";

    // Other keys edit the text.
    ui().httpaddr->setText("ab");
    ui().httpaddr->setCursorPosition(2);
    key(ui().httpaddr, Qt::Key_C, "c");
    EXPECT_EQ(ui().httpaddr->text(), "abc");
}

TEST_F(NavigationBarTest, DoubleClickSelectsAllOfTheText) {
    start();
    ui().httpaddr->setText("several words here");
    mouse(ui().httpaddr, QEvent::MouseButtonPress, Qt::LeftButton, {4, 4});
    mouse(ui().httpaddr, QEvent::MouseButtonRelease, Qt::LeftButton, {4, 4});
    mouse(ui().httpaddr, QEvent::MouseButtonDblClick, Qt::LeftButton, {4, 4});
    mouse(ui().httpaddr, QEvent::MouseButtonRelease, Qt::LeftButton, {4, 4});
    EXPECT_EQ(ui().httpaddr->selectedText(), "several words here");
}

TEST_F(NavigationBarTest, ChoosingAnEngineSearchesAtOnce) {
    NavigationBar& f = start();
    ui().httpaddr->setText(" tv ");
    ui().PopTaoBao->trigger();
    EXPECT_EQ(f.searchEngine(), "TaoBao");
    EXPECT_EQ(ui().gohttp->toolTip(), QStringLiteral("淘宝")) << "shown by its Chinese name";
    EXPECT_EQ(ui().Imgsiteico->pixmap().toImage(), images.pixmap(ImageList::TaoBao).toImage());
    EXPECT_EQ(shell.opened, QStringList{endpoints.taobaoSearch + "tv" + endpoints.taobaoSuffix});

    ui().Popbaidu->trigger();
    EXPECT_EQ(f.searchEngine(), "Baidu");
    EXPECT_EQ(ui().Imgsiteico->pixmap().toImage(), images.pixmap(ImageList::Baidu).toImage());
    ASSERT_EQ(shell.opened.size(), 2);
    EXPECT_EQ(shell.opened.last(), endpoints.baiduSearch + "tv" + endpoints.baiduSuffix);

    // An address is opened in the page area whatever the engine.
    ui().httpaddr->setText("abc.de");
    ui().PopTaoBao->trigger();
    EXPECT_EQ(page.navigations.last(), "abc.de");
    EXPECT_EQ(shell.opened.size(), 2);
}

TEST_F(NavigationBarTest, WithAnEmptyBoxChoosingAnEngineOnlyChangesTheEngine) {
    NavigationBar& f = start(-1); // a FindWay of neither engine
    EXPECT_EQ(f.searchEngine(), "");
    EXPECT_TRUE(ui().Imgsiteico->pixmap().isNull());
    typeAndPressEnter("keyword");
    EXPECT_TRUE(shell.opened.isEmpty()) << "no engine: keywords are ignored";

    ui().httpaddr->clear();
    ui().PopTaoBao->trigger();
    EXPECT_EQ(f.searchEngine(), "TaoBao");
    EXPECT_FALSE(ui().Imgsiteico->pixmap().isNull());
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_TRUE(page.navigations.isEmpty());

    // Another picture index changes the icon and keeps the engine.
    f.SetSearchEngine(0);
    EXPECT_EQ(f.searchEngine(), "TaoBao");
    EXPECT_EQ(ui().Imgsiteico->pixmap().toImage(), images.pixmap(ImageList::Page).toImage());
}

TEST_F(NavigationBarTest, WithoutABrowserASearchSaysSoInChinese) {
    start();
    shell.opens = false;
    auto box = test::answerNextBox(QMessageBox::Ok);
    typeAndPressEnter("tv");
    EXPECT_TRUE(box->seen);
    EXPECT_TRUE(box->text.contains(QStringLiteral("浏览器"))) << box->text.toStdString();
}

TEST_F(NavigationBarTest, TheEngineIsTheBarsOwnValueNotItsTooltip) {
    NavigationBar& f = start(ImageList::TaoBao);
    // A language file may give the go label any hint; searches keep the engine.
    ui().gohttp->setToolTip(QStringLiteral("搜索"));
    EXPECT_EQ(f.searchEngine(), "TaoBao");
    typeAndPressEnter("tv");
    EXPECT_EQ(shell.opened, QStringList{endpoints.taobaoSearch + "tv" + endpoints.taobaoSuffix});
}

TEST_F(NavigationBarTest, TheEngineMenuOpensFromTheIconAndTheGoButton) {
    start();
    QMenu* menu = ui().PopupMenu3;
    int opened = 0;
    QObject::connect(menu, &QMenu::aboutToShow, [&] { ++opened; });

    mouse(ui().Imgsiteico, QEvent::MouseMove, Qt::NoButton);
    EXPECT_TRUE(menu->isVisible());
    mouse(ui().Imgsiteico, QEvent::MouseMove, Qt::NoButton);
    click(ui().Imgsiteico);
    EXPECT_EQ(opened, 1) << "an open menu is not opened again";
    menu->hide();

    click(ui().Imgsiteico);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(opened, 2);
    menu->hide();

    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(3, 3),
                              ui().gohttp->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(ui().gohttp, &context);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(opened, 3);
    menu->hide();
}

TEST_F(NavigationBarTest, TheLoadingIndicatorShowsWhileAPageLoads) {
    start();
    EXPECT_TRUE(shown(loading)) << "visible from the start";
    page.fireDocumentComplete("http://127.0.0.1:9/a");
    EXPECT_FALSE(shown(loading));

    EXPECT_FALSE(page.fireBeforeNavigate2("http://127.0.0.1:9/b")) << "never cancelled";
    EXPECT_TRUE(shown(loading));
    // Frames report too: the first finished document hides it.
    EXPECT_FALSE(page.fireBeforeNavigate2("http://127.0.0.1:9/frame"));
    page.fireDocumentComplete("http://127.0.0.1:9/frame");
    EXPECT_FALSE(shown(loading));

    // A load that ends without a document (stopped, refused, inside a frame) hides it too.
    EXPECT_FALSE(page.fireBeforeNavigate2("http://127.0.0.1:9/stopped"));
    EXPECT_TRUE(shown(loading));
    page.fireLoadingStopped();
    EXPECT_FALSE(shown(loading));

    // Navigation through the address box goes the same way.
    page.autoComplete = true;
    typeAndPressEnter("127.0.0.1:9/typed");
    EXPECT_TRUE(shown(loading));
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown(loading));
}

} // namespace
