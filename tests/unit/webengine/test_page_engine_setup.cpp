#include "support/Files.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/PageEngineFlags.h"
#include "webengine/PageFonts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using namespace koro;

TEST(PageEngineFlags, TurnsTheGpuOffOnlyWhereThereIsNone) {
    EXPECT_EQ(pageEngineFlags("", false), "--disable-gpu --lang=zh-CN");
    // A machine with a graphics card keeps hardware decoding and compositing.
    EXPECT_EQ(pageEngineFlags("", true), "--lang=zh-CN");
    EXPECT_EQ(pageEngineFlags("--disable-gpu", false), "--disable-gpu --lang=zh-CN");
    // A similar flag is not the one that turns the GPU off.
    EXPECT_EQ(pageEngineFlags("--disable-gpu-compositing", false),
              "--disable-gpu-compositing --disable-gpu --lang=zh-CN");
    // What the user chose stays, in its order.
    EXPECT_EQ(pageEngineFlags("  --foo=1   --lang=en-US ", true), "--foo=1 --lang=en-US");
    EXPECT_EQ(pageEngineFlags("--lang", false), "--lang --disable-gpu");
}

TEST(PageEngineFlags, WithoutAGpuThePageAreaDrawsWithTheSoftwareSceneGraph) {
    EXPECT_EQ(sceneGraphBackend("", pageEngineFlags("", false)), "software");
    EXPECT_EQ(sceneGraphBackend("", pageEngineFlags("", true)), "");
    // The user's flags turned the GPU off.
    EXPECT_EQ(sceneGraphBackend("", pageEngineFlags("--disable-gpu", true)), "software");
    EXPECT_EQ(sceneGraphBackend("", "--disable-gpu-compositing"), "");
    // A backend the user chose wins.
    EXPECT_EQ(sceneGraphBackend("opengl", "--disable-gpu"), "");
    EXPECT_EQ(sceneGraphBackend(" ", "--disable-gpu"), "software");
}

TEST(PageEngineFlags, ARenderNodeIsNeededForTheGpu) {
    QTemporaryDir dri;
    ASSERT_TRUE(dri.isValid());
    EXPECT_FALSE(hasRenderNode(dri.filePath("missing")));
    EXPECT_FALSE(hasRenderNode(dri.path()));
    // A display card alone is no render node.
    test::writeFile(dri.filePath("card0"), {});
    EXPECT_FALSE(hasRenderNode(dri.path()));
    test::writeFile(dri.filePath("renderD128"), {});
    EXPECT_TRUE(hasRenderNode(dri.path()));
}

TEST(PageEngineFlags, SoftwareRenderersCountAsNoGpu) {
    EXPECT_TRUE(isSoftwareRenderer(""));
    EXPECT_TRUE(isSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(isSoftwareRenderer("Mesa X11 softpipe"));
    EXPECT_TRUE(isSoftwareRenderer("Software Rasterizer"));
    EXPECT_FALSE(isSoftwareRenderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(isSoftwareRenderer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
}

TEST(PageFonts, PicksAnInstalledChineseSansSerifFamily) {
    EXPECT_EQ(cjkSansFamily({"DejaVu Serif", "WenQuanYi Micro Hei", "DejaVu Sans"}),
              "WenQuanYi Micro Hei");
    // The installed spelling is the one the engine is given.
    EXPECT_EQ(cjkSansFamily({"wenquanyi micro hei"}), "wenquanyi micro hei");
    EXPECT_EQ(cjkSansFamily({"WenQuanYi Micro Hei", "Noto Sans CJK SC"}), "Noto Sans CJK SC");
    // Not its monospaced sister, nor any serif family.
    EXPECT_EQ(cjkSansFamily({"WenQuanYi Micro Hei Mono", "AR PL UMing CN", "DejaVu Sans"}), "");
}

TEST(ExternalSchemes, OnlyTheEnginesOwnSchemesStayInside) {
    for (const char* scheme : {"http", "HTTPS", "file", "about", "data", "blob", "javascript", ""})
        EXPECT_TRUE(engineHandlesScheme(scheme)) << scheme;
    for (const char* scheme : {"smb", "ssh", "mailto", "tencent", "thunder", "koro-test"})
        EXPECT_FALSE(engineHandlesScheme(scheme)) << scheme;
}

TEST(ExternalSchemes, TheQuestionNamesTheAddressAndTheProgram) {
    const QUrl share("smb://fileserver/share");
    const QString named = externalOpenQuestion(share, "文件");
    EXPECT_TRUE(named.contains("smb://fileserver/share")) << named.toStdString();
    EXPECT_TRUE(named.contains("“文件”")) << named.toStdString();
    EXPECT_TRUE(externalOpenQuestion(share, "").contains("另一个程序"));
    // A made-up endless address cannot push the buttons off the screen.
    const QString huge = externalOpenQuestion(QUrl("ssh://" + QString(5000, 'a')), "");
    EXPECT_LT(huge.size(), 400);
}

} // namespace
