#include "config/Skins.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// The folder the sample skins and the startup resources come from.
QDir resourceDir() {
    // Not from __FILE__: the shared compiler cache makes that relative to the build folder.
    return QDir(QStringLiteral(KORO_SOURCE_DIR "/resources"));
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
    writeFile(skin("Blue.skn"), "QWidget { background: blue; }");
    writeFile(skin("Red.skn"), "QWidget { background: red; }");
    writeFile(skin("Dark.SKN"), "QWidget { background: black; }");
    writeFile(skin("Locked.skn"), "");
    ASSERT_TRUE(QFile::setPermissions(skin("Locked.skn"), QFile::ReadOwner | QFile::ReadGroup));
    writeFile(skin(".Hidden.skn"), "");
    writeFile(skin("notes.txt"), "");
    writeFile(skin("Blue.skn.bak"), "");
    ASSERT_TRUE(QDir(skinDir).mkdir(QStringLiteral("Folder.skn")));

    QStringList listed = koro::listSkinFiles(skinDir);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"Blue.skn", "Dark.SKN", "Red.skn"}));
    EXPECT_TRUE(koro::listSkinFiles(m_temp.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST_F(Skins, TheMenuHasOneItemPerFileAndReportsTheChoice) {
    writeFile(skin("Blue.skn"), "");
    writeFile(skin("Dark.SKN"), "");
    QMenu huanfu;
    koro::SkinMenu skins(&huanfu);
    QStringList chosen;
    QObject::connect(&skins, &koro::SkinMenu::skinChosen,
                     [&chosen](const QString& name) { chosen.append(name); });
    skins.fill(skinDir);

    const QList<QAction*> items = huanfu.actions();
    ASSERT_EQ(items.size(), 2);
    QStringList captions;
    for (QAction* item : items) {
        captions.append(item->text());
        EXPECT_EQ(koro::skinCaption(item->toolTip()), item->text());
        EXPECT_TRUE(item->objectName().isEmpty());
        EXPECT_FALSE(item->isCheckable());
        EXPECT_TRUE(item->isVisible());
    }
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"Blue", "Dark.SKN"}));

    QAction* dark = items[0]->text() == "Dark.SKN" ? items[0] : items[1];
    dark->trigger();
    EXPECT_EQ(chosen, QStringList{QStringLiteral("Dark.SKN")});
}

TEST_F(Skins, ChoosingAFileAppliesItAndRemembersItsName) {
    const QByteArray sheet = "QWidget { background: #102030; }";
    writeFile(skin("Red.skn"), sheet);
    QByteArray pifu;
    EXPECT_TRUE(koro::applySkin("Red.skn", pifu, skinDir));
    EXPECT_EQ(pifu, "Red.skn");
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(sheet));

    // A name that is gone keeps the look and is still remembered.
    EXPECT_FALSE(koro::applySkin("Gone.skn", pifu, skinDir));
    EXPECT_EQ(pifu, "Gone.skn");
    EXPECT_EQ(qApp->styleSheet(), QString::fromUtf8(sheet));

    // Blank names change nothing.
    EXPECT_FALSE(koro::applySkin("   ", pifu, skinDir));
    EXPECT_EQ(pifu, "Gone.skn");
}

// Every sample skin parses: Qt reports a broken style sheet as a warning while polishing.
TEST_F(Skins, TheSampleSkinsAreValidStyleSheets) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings.append(text); });

    const QDir samples(resourceDir().filePath(QStringLiteral("skins")));
    const QStringList files = samples.entryList({QStringLiteral("*.skn")}, QDir::Files);
    EXPECT_EQ(files.size(), 3);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(koro::applySkinFile(samples.filePath(file)));
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
