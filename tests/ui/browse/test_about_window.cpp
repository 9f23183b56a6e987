#include "browse/SiteMenus.h"
#include "browse/TForm2.h"
#include "config/Endpoints.h"
#include "config/OwnFrame.h"
#include "platform/FileVersion.h"
#include "support/Restamp.h"
#include "support/SampleSkins.h"
#include "support/Wait.h"
#include "ui_TForm1.h"
#include "ui_TForm2.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtEndian>
#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace koro;
using test::flushDeletes;

// A left click pressed at the middle and released at releasedAt, which may lie outside.
void click(QWidget* widget, std::optional<QPoint> releasedAt = {}) {
    const QPoint at = widget->rect().center();
    const QPoint end = releasedAt.value_or(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, end, widget->mapToGlobal(end), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The about window as its menu item opens it, over a plain window with the main window's menus.
class AboutWindowTest : public ::testing::Test {
protected:
    AboutWindowTest() {
        ui.setupUi(form.get());
        page = new FakeBrowserControl(BrowserRole::PageArea, form.get());
        new SiteMenus(*form, ui.gywm, *page, endpoints);
    }

    QList<TForm2*> aboutWindows() const { return form->findChildren<TForm2*>(); }
    TForm2* openAbout() {
        ui.gywm->trigger();
        return form->findChild<SiteMenus*>()->currentAbout();
    }

    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    Ui::TForm1 ui;
    FakeBrowserControl* page = nullptr;
};

TEST_F(AboutWindowTest, EachClickOpensAWindowThatClosesOnItsOwn) {
    QPointer<TForm2> first = openAbout();
    QPointer<TForm2> second = openAbout();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(aboutWindows().size(), 2);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());

    first->ui().Button1->click();
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(form->findChild<SiteMenus*>()->currentAbout(), second);

    second->findChild<QToolButton*>("OwnFrameClose")->click();
    flushDeletes();
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(aboutWindows().isEmpty());
    EXPECT_EQ(form->findChild<SiteMenus*>()->currentAbout(), nullptr);
}

TEST_F(AboutWindowTest, IsASmallFixedModelessWindowAboveTheMainWindow) {
    form->move(200, 150);
    form->show();
    TForm2* about = openAbout();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于我们"));
    EXPECT_EQ(about->parentWidget(), form.get());
    EXPECT_TRUE(about->isWindow());
    EXPECT_FALSE(about->isModal());
    EXPECT_TRUE(about->testAttribute(Qt::WA_DeleteOnClose));

    const Qt::WindowFlags flags = about->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    // No frame of the window manager's, whose minimise and maximise buttons it cannot refuse:
    // a caption of its own with the title and one button, which closes it.
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    const QWidget* caption = about->findChild<QWidget*>("OwnFrameCaption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->findChildren<QAbstractButton*>().size(), 1);
    const QList<QLabel*> titles = caption->findChildren<QLabel*>();
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles[0]->text(), QStringLiteral("关于我们"));
    EXPECT_EQ(caption->geometry(), QRect(1, 1, 313, OwnFrame::CaptionHeight));
    // The layout's places are those of the area under the caption.
    EXPECT_EQ(about->ui().Button1->mapTo(about, QPoint(0, 0)),
              QPoint(1 + 120, 1 + OwnFrame::CaptionHeight + 158));

    // The outer size, whatever frame the platform draws; it cannot be resized.
    EXPECT_EQ(about->frameGeometry().size(), QSize(315, 230));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    const QPoint offset = about->frameGeometry().center() - form->frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(AboutWindowTest, LinksShowTheirAddressesAndTheSeparatorIsCutAtItsWidth) {
    Ui::TForm2& ui = openAbout()->ui();
    const QList<QPair<QLabel*, QString>> links = {{ui.Label4, endpoints.makerHome},
                                                  {ui.Label8, endpoints.makerAbout}};
    for (const auto& [label, url] : links) {
        EXPECT_EQ(label->text(), url);
        EXPECT_EQ(label->toolTip(), url);
        EXPECT_TRUE(label->font().underline());
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(ui.Label5->font().pixelSize(), 21);
    EXPECT_EQ(ui.Image1->pixmap().deviceIndependentSize().toSize(), QSize(48, 48));
    EXPECT_EQ(ui.Label1->text(), QString(100, '-'));
    EXPECT_EQ(ui.Label1->width(), 283);
    EXPECT_GT(ui.Label1->fontMetrics().horizontalAdvance(ui.Label1->text()), 283);
}

TEST_F(AboutWindowTest, ALinkOpensInTheHiddenMainWindowAndClosesTheAboutWindow) {
    form->hide();
    for (const auto& [link, url] : {std::pair{&Ui::TForm2::Label4, endpoints.makerHome},
                                    std::pair{&Ui::TForm2::Label8, endpoints.makerAbout}}) {
        QPointer<TForm2> about = openAbout();
        click(about->ui().*link);
        flushDeletes();
        EXPECT_TRUE(about.isNull());
        EXPECT_EQ(page->navigations.value(page->navigations.size() - 1), url);
    }
    EXPECT_FALSE(form->isVisible());
}

TEST_F(AboutWindowTest, ALinkFollowsItsHintAndOnlyAFullClickOnItCounts) {
    QPointer<TForm2> about = openAbout();
    QLabel* link = about->ui().Label8;
    link->setToolTip("http://127.0.0.1:9/elsewhere");

    click(link, QPoint(-30, 40)); // released away from the label: no click
    flushDeletes();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(page->navigations.isEmpty());

    click(link);
    flushDeletes();
    EXPECT_TRUE(about.isNull());
    EXPECT_EQ(page->navigations, QStringList{"http://127.0.0.1:9/elsewhere"});
}

TEST_F(AboutWindowTest, TheVersionIsTheOneOfTheGivenFile) {
    TForm2* running = openAbout();
    EXPECT_EQ(running->ui().version->text(), "3.0.0.0");
    EXPECT_EQ(running->ui().version->pos(), QPoint(152, 53));

    QTemporaryDir dir;
    QString error;
    const QString copy =
        test::restampedCopy(QDir(dir.path()), test::stampBytes(4, 2, 17, 900), &error);
    ASSERT_FALSE(copy.isEmpty()) << error.toStdString();

    auto* other = new TForm2(*form, *page, endpoints, copy);
    EXPECT_EQ(other->ui().version->text(), "4.2.17.900");
    // A file without a version gives an empty label, and no message.
    auto* none = new TForm2(*form, *page, endpoints, "/bin/sh");
    EXPECT_EQ(none->ui().version->text(), "");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

namespace {

// The texts of an about window lie whole inside its frame, each wide enough for its text.
void expectTextsShowWhole(TForm2& about) {
    const QRect inside = about.rect().adjusted(OwnFrame::Border, OwnFrame::Border,
                                               -OwnFrame::Border, -OwnFrame::Border);
    Ui::TForm2& ui = about.ui();
    for (QLabel* label : {ui.Label5, ui.Label6, ui.version, ui.Label3, ui.Label4, ui.Label7,
                          ui.Label8, ui.Label2}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        const QRect placed(label->mapTo(&about, QPoint(0, 0)), label->size());
        EXPECT_TRUE(inside.contains(placed)) << "right edge " << placed.right();
    }
}

TEST(AboutWindowText, EveryTextShowsWholeWithTheProductsAddressesAndLongerOnes) {
    QWidget owner;
    FakeBrowserControl page(BrowserRole::PageArea);
    auto open = [&](const Endpoints& endpoints) {
        QPointer<TForm2> about =
            new TForm2(owner, page, endpoints, QCoreApplication::applicationFilePath());
        about->show();
        QCoreApplication::processEvents();
        return about;
    };
    const Endpoints product = Endpoints::production();
    const Endpoints longer = Endpoints::local("http://127.0.0.1:9/longer-path");
    for (const Endpoints* endpoints : {&product, &longer}) {
        SCOPED_TRACE(endpoints->makerAbout.toStdString());
        QPointer<TForm2> about = open(*endpoints);
        expectTextsShowWhole(*about);
        EXPECT_EQ(about->ui().Label8->text(), endpoints->makerAbout) << "the address is not cut";
        if (endpoints == &longer) {
            EXPECT_LT(about->ui().Label8->font().pixelSize(), 11) << "too long for the face";
            EXPECT_EQ(about->ui().Label3->font().pixelSize(), 12) << "the others keep their size";
        }
        about->close();
        flushDeletes();
        EXPECT_TRUE(about.isNull());
    }

    // A skin's style sheet must not give the labels other fonts behind the window's back.
    const test::SkinWorn blue(QStringLiteral("Blue.skn"));
    ASSERT_TRUE(blue.worn());
    QPointer<TForm2> about = open(product);
    expectTextsShowWhole(*about);
    EXPECT_EQ(about->ui().Label8->font().pixelSize(), 11);
    about->close();
    flushDeletes();
}

} // namespace
