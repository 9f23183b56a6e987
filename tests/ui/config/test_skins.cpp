#include "config/AppSettings.h"
#include "config/OwnFrame.h"
#include "config/Skins.h"
#include "schedule/TForm_SoftSet.h"
#include "schedule/TfrmPS.h"
#include "support/Files.h"
#include "support/SampleSkins.h"
#include "ui_TForm_SoftSet.h"
#include "ui_TfrmPS.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using koro::test::writeFile;

// The folder the startup resources come from.
QDir resourceDir() {
    return QDir(koro::test::sampleSkinDir() + QStringLiteral("/.."));
}

// Restores the application's style sheet after a test that sets one.
class Skins : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        skinDir = m_temp.filePath(QStringLiteral("skin"));
        ASSERT_TRUE(QDir().mkpath(skinDir));
        qApp->setStyleSheet(QString());
    }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    QString skin(const QString& name) const { return skinDir + u'/' + name; }

    QTemporaryDir m_temp;
    QString skinDir;
};

TEST_F(Skins, OnlyPlainSkinFilesAreListed) {
    for (const char* name : {"Blue.skn", "Red.skn", "Dark.SKN", "Locked.skn", ".Hidden.skn",
                             "notes.txt", "Blue.skn.bak"})
        writeFile(skin(name), "QWidget { background: blue; }");
    ASSERT_TRUE(QFile::setPermissions(skin("Locked.skn"), QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QDir(skinDir).mkdir(QStringLiteral("Folder.skn")));

    QStringList listed = koro::listSkinFiles(skinDir);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"Blue.skn", "Dark.SKN", "Red.skn"}));
    EXPECT_TRUE(koro::listSkinFiles(m_temp.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST_F(Skins, TheMenuOffersTheBuiltInLookThenOneItemPerFile) {
    writeFile(skin("Blue.skn"), "");
    writeFile(skin("Dark.SKN"), "");
    QMenu huanfu;
    koro::SkinMenu skins(&huanfu);
    QStringList chosen;
    QObject::connect(&skins, &koro::SkinMenu::skinChosen,
                     [&chosen](const QString& name) { chosen.append(name); });
    QObject::connect(&skins, &koro::SkinMenu::builtInChosen,
                     [&chosen] { chosen.append(QStringLiteral("built-in")); });
    skins.fill(skinDir);

    const QList<QAction*> items = huanfu.actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), QStringLiteral("默认外观"));
    EXPECT_TRUE(items[1]->isSeparator());
    QStringList captions;
    for (QAction* item : items.mid(2))
        captions.append(item->text());
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"Blue", "Dark.SKN"}));

    QAction* dark = items[2]->text() == "Dark.SKN" ? items[2] : items[3];
    dark->trigger();
    items[0]->trigger();
    EXPECT_EQ(chosen, (QStringList{"Dark.SKN", "built-in"}));

    // Without skin files the built-in look stands alone.
    QMenu bare;
    koro::SkinMenu(&bare).fill(m_temp.filePath(QStringLiteral("missing")));
    EXPECT_EQ(bare.actions().size(), 1);
}

TEST_F(Skins, ChoosingAFileAppliesItAndRemembersItsName) {
    const QByteArray sheet = "QWidget { background: #102030; }";
    writeFile(skin("Red.skn"), sheet);
    QByteArray pifu;
    EXPECT_TRUE(koro::applySkin("Red.skn", pifu, skinDir));
    EXPECT_EQ(pifu, "Red.skn");
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(sheet));

    // A name that is gone keeps the look and is still remembered, as written.
    EXPECT_FALSE(koro::applySkin(" Gone.skn", pifu, skinDir));
    EXPECT_EQ(pifu, " Gone.skn");
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(sheet));

    // Blank names change nothing.
    EXPECT_FALSE(koro::applySkin(" \t\r\n\x01", pifu, skinDir));
    EXPECT_EQ(pifu, " Gone.skn");
    EXPECT_FALSE(koro::isBuiltInSkin(pifu));

    // The built-in look drops the sheet and leaves pifu empty, which the next start keeps.
    koro::applyBuiltInSkin(pifu);
    EXPECT_TRUE(pifu.isEmpty());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(koro::isBuiltInSkin(pifu));
    EXPECT_TRUE(koro::isBuiltInSkin(" \t"));
}

// Every sample skin parses: Qt reports a broken style sheet as a warning while polishing.
TEST_F(Skins, TheSampleSkinsAreValidStyleSheets) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings.append(text); });

    const QStringList files = koro::test::sampleSkins();
    EXPECT_EQ(files.size(), 3);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(koro::applySkinFile(koro::test::sampleSkinDir() + u'/' + file));
        EXPECT_FALSE(qApp->styleSheet().isEmpty());
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* bar = new QToolBar(&window);
        bar->setObjectName(QStringLiteral("ToolBar2"));
        bar->addAction(QStringLiteral("Options"));
        layout->addWidget(bar);
        auto* address = new QLineEdit(&window);
        address->setObjectName(QStringLiteral("httpaddr"));
        layout->addWidget(address);
        layout->addWidget(new QLabel(QStringLiteral("ad"), &window));
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &window));
        QMenu menu(&window);
        menu.addAction(QStringLiteral("Blue"));
        window.ensurePolished();
        for (QWidget* child : window.findChildren<QWidget*>())
            child->ensurePolished();
        menu.ensurePolished();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
}

// Pixels of area where a person tells the two pictures apart: a quarter of the grey scale.
int differing(const QImage& a, const QImage& b, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) >= 64 ? 1 : 0;
    }
    return count;
}

QImage filled(const QImage& like, QRgb colour) {
    QImage image(like.size(), like.format());
    image.fill(colour);
    return image;
}

QRgb mostOf(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    return std::max_element(counts.cbegin(), counts.cend()).key();
}

QRect inWindow(const QWidget* widget, const QRect& rect) {
    return {widget->mapTo(widget->window(), rect.topLeft()), rect.size()};
}

// The unticked box stands out from what lies behind the check box, and ticking it changes it
// for the eye.
void expectBothStatesShow(QCheckBox* box) {
    SCOPED_TRACE(box->objectName().toStdString());
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        inWindow(box, box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box));
    box->setChecked(false);
    const QImage unticked = koro::test::picture(box->window());
    // Past the caption, the check box shows what is behind it.
    const QRgb behind = unticked.pixel(inWindow(box, QRect(box->width() - 2, 2, 1, 1)).topLeft());
    box->setChecked(true);
    const QImage ticked = koro::test::picture(box->window());
    EXPECT_GE(differing(unticked, filled(unticked, behind), indicator), 8) << "the box shows";
    EXPECT_GE(differing(unticked, ticked, indicator), 8) << "the tick shows";
}

// A mark on a button face: the close button's cross.
void expectMark(QWidget* button) {
    const QImage image = koro::test::picture(button->window());
    const QRect face = inWindow(button, button->rect());
    EXPECT_GE(differing(image, filled(image, mostOf(image, face)), face), 10) << "the mark shows";
}

TEST_F(Skins, EveryControlKeepsAVisibleStateUnderEverySampleSkin) {
    for (const QString& name : koro::test::sampleSkins()) {
        SCOPED_TRACE(name.toStdString());
        const koro::test::SkinWorn worn(name);
        ASSERT_TRUE(worn.worn());

        koro::AppSettings settings = koro::AppSettings::fresh();
        QWidget owner;
        koro::TForm_SoftSet dialog(settings, skinDir, {}, &owner);
        dialog.show();
        for (QCheckBox* box : {dialog.ui().CheckBox1, dialog.ui().CheckBox2, dialog.ui().CheckBox3,
                               dialog.ui().CheckBox4})
            expectBothStatesShow(box);
        const QImage shown = koro::test::picture(&dialog);
        const QLabel* link = dialog.ui().LblPowerOff;
        const QRgb ground = shown.pixel(2, dialog.height() - 2);
        EXPECT_GE(differing(shown, filled(shown, ground), inWindow(link, link->rect())), 20)
            << "the link reads";

        koro::TfrmPS reminder(QRect(), {});
        reminder.show();
        expectBothStatesShow(reminder.ui().CheckBox1);
        expectMark(reminder.ui().SpeedBtnClose);
        for (const QPushButton* button : {reminder.ui().ButtonOk, reminder.ui().ButtonCancel})
            EXPECT_LE(button->sizeHint().width(), button->width()) << "the whole caption shows";

        QWidget framed;
        framed.resize(200, 80);
        const auto* frame = new koro::OwnFrame(&framed);
        framed.show();
        expectMark(frame->closeButton());
    }
}

TEST(LoadingAnimationPicture, DecodesAsARingOnATransparentBackground) {
    QImageReader reader(resourceDir().filePath(QStringLiteral("startup/loading.gif")));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.imageCount(), 8);
    EXPECT_EQ(reader.loopCount(), -1); // for ever
    QList<QImage> frames;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    ASSERT_EQ(frames.size(), 8);
    for (const QImage& frame : frames) {
        EXPECT_EQ(frame.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(frame.pixel(8, 8)), 0);
        int blue = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb p = frame.pixel(x, y);
                if (qAlpha(p) == 255 && qBlue(p) > qRed(p) && qBlue(p) > qGreen(p))
                    ++blue;
            }
        }
        EXPECT_EQ(blue, 8 * 9);
    }
    // The shading moves on from frame to frame, the last one included.
    for (int i = 0; i < 8; ++i)
        EXPECT_NE(frames[i], frames[(i + 1) % 8]) << i;
}

} // namespace
