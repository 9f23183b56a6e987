#include "support/MainWindowFixture.h"
#include "support/SampleSkins.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using namespace koro;

class CaptionRowTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        qApp->setStyleSheet(QString());
        ASSERT_TRUE(QDir(dir.path()).mkdir("skin"));
        for (const QString& name : test::sampleSkins())
            ASSERT_TRUE(
                QFile::copy(test::sampleSkinDir() + u'/' + name, dir.filePath("skin/" + name)));
    }
    void TearDown() override {
        form.reset();
        qApp->setStyleSheet(QString());
    }

    TForm1& show(const QByteArray& config) {
        start(config);
        form->show();
        QCoreApplication::processEvents();
        return *form;
    }

    QList<QToolButton*> buttons() {
        QList<QToolButton*> shown = form->ui().ToolBar2->findChildren<QToolButton*>();
        shown.removeIf([](const QToolButton* b) { return !b->isVisible(); });
        return shown;
    }
    QList<QRect> captions() {
        QList<QRect> rects;
        for (QToolButton* b : buttons())
            rects.append(QRect(b->mapTo(form.get(), QPoint(0, 0)), b->size()));
        return rects;
    }
};

TEST_F(CaptionRowTest, CaptionsSitInTheSamePlaceWhicheverSkinAndWhenever) {
    show("[MainForm]\r\n");
    const QList<QRect> plain = captions();
    ASSERT_EQ(plain.size(), 9) << "one button per menu, no overflow button";
    const QRect row(form->ui().Panel7->mapTo(form.get(), QPoint(0, 0)), form->ui().Panel7->size());
    EXPECT_EQ(plain.first().topLeft(), row.topLeft());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        EXPECT_TRUE(row.contains(plain[i])) << i << ": the whole button shows";
        if (i > 0)
            EXPECT_EQ(plain[i].left(), plain[i - 1].right() + 1) << i;
    }

    for (const char* skin : {"Blue.skn", "Graphite.skn", "Jade.skn"}) {
        SCOPED_TRACE(skin);
        // Picked while the window shows.
        form->ApplySkin(skin);
        QCoreApplication::processEvents();
        EXPECT_EQ(captions(), plain);
        // Applied at start, before the window first shows.
        form.reset();
        qApp->setStyleSheet(QString());
        show("[MainForm]\r\npifu=" + QByteArray(skin) + "\r\n");
        ASSERT_FALSE(qApp->styleSheet().isEmpty());
        EXPECT_EQ(captions(), plain);
    }
}

TEST_F(CaptionRowTest, AButtonLooksHoveredOnlyWhileThePointerIsOnIt) {
    show("[MainForm]\r\n");
    const QList<QToolButton*> shown = buttons();
    ASSERT_GE(shown.size(), 2);
    QToolButton* options = shown[0];
    QToolButton* next = shown[1];
    auto centre = [](QWidget* w) { return w->mapToGlobal(w->rect().center()); };

    // The pointer rests on the first caption when its menu opens (the window system marks the
    // button as under the pointer), then moves to the next caption while the menu holds it.
    QCursor::setPos(centre(options));
    options->setAttribute(Qt::WA_UnderMouse, true);
    bool closed = false;
    QTimer::singleShot(20, [&] {
        QCursor::setPos(centre(next));
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            closed = true;
        }
    });
    options->showMenu();
    ASSERT_TRUE(closed);
    QCoreApplication::processEvents();
    EXPECT_FALSE(options->underMouse()) << "the first caption is left drawn as hovered";
    EXPECT_TRUE(next->underMouse());

    // Away from the row, none looks hovered.
    QCursor::setPos(form->mapToGlobal(QPoint(300, 300)));
    QTimer::singleShot(20, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    next->showMenu();
    QCoreApplication::processEvents();
    for (QToolButton* b : shown)
        EXPECT_FALSE(b->underMouse()) << b->text().toStdString();
}

} // namespace
