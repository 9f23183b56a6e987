#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QStringList>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

// The resource initialiser is declared in the global namespace, so it must be called from there.
static void initArtworkResources() {
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(schedule);
}

namespace koro {
namespace {

// The window layout places each picture at a fixed size, so a drawing of another size would be
// scaled or cropped.
const std::map<QString, QSize>& requiredSizes() {
    static const std::map<QString, QSize> sizes = [] {
        std::map<QString, QSize> m;
        for (const char* name : {"goback", "gobackenter", "gobackfalse", "goforward",
                                 "goforwardenter", "goforwardfalse"})
            m[QStringLiteral(":/images/nav/%1.svg").arg(QLatin1String(name))] = QSize(31, 27);
        for (const char* name :
             {"stop", "stopenter", "refresh", "refreshenter", "homepage", "homepageenter"})
            m[QStringLiteral(":/images/nav/%1.svg").arg(QLatin1String(name))] = QSize(33, 27);
        m[QStringLiteral(":/images/nav/gohttpimg1.svg")] = QSize(28, 26);
        m[QStringLiteral(":/images/nav/gohttpimg2.svg")] = QSize(28, 26);
        m[QStringLiteral(":/images/nav/ImgEditMid.svg")] = QSize(313, 26);
        for (int i = 0; i < 16; ++i)
            m[QStringLiteral(":/images/imagelist/%1.svg").arg(i, 2, 10, QLatin1Char('0'))] =
                QSize(16, 16);
        m[QStringLiteral(":/images/app/koro.svg")] = QSize(48, 48);
        m[QStringLiteral(":/images/app/tray.svg")] = QSize(32, 32);
        m[QStringLiteral(":/images/popup/ImgGoMainFormLeave.svg")] = QSize(16, 16);
        m[QStringLiteral(":/images/popup/ImgGoMainFormEnter.svg")] = QSize(16, 16);
        m[QStringLiteral(":/images/schedule/bubble.svg")] = QSize(238, 126);
        m[QStringLiteral(":/images/schedule/close.svg")] = QSize(13, 13);
        m[QStringLiteral(":/images/skin/tick.svg")] = QSize(12, 12);
        return m;
    }();
    return sizes;
}

QStringList picturesInResources() {
    QStringList found;
    QDirIterator it(QStringLiteral(":/images"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    found.sort();
    return found;
}

std::string sizeText(const QSize& size) {
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

QImage renderAtDefaultSize(QSvgRenderer& renderer) {
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

// Collects the renderer's warnings (unresolved references, unsupported features) while alive.
class WarningCollector {
public:
    WarningCollector() {
        active() = this;
        m_previous = qInstallMessageHandler(&WarningCollector::handle);
    }
    ~WarningCollector() {
        qInstallMessageHandler(m_previous);
        active() = nullptr;
    }
    WarningCollector(const WarningCollector&) = delete;
    WarningCollector& operator=(const WarningCollector&) = delete;

    QStringList messages;

private:
    static WarningCollector*& active() {
        static WarningCollector* collector = nullptr;
        return collector;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (active() && (type == QtWarningMsg || type == QtCriticalMsg))
            active()->messages << text;
    }

    QtMessageHandler m_previous = nullptr;
};

class Artwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initArtworkResources(); }
};

TEST_F(Artwork, ResourcesHoldExactlyTheRequiredPictures) {
    QStringList expected;
    for (const auto& [path, size] : requiredSizes())
        expected << path;
    expected.sort();
    EXPECT_EQ(picturesInResources(), expected);
}

TEST_F(Artwork, EveryPictureLoadsAtItsSizeAndDrawsSomethingWithWhatTheRendererSupports) {
    {
        // The collector must see the renderer's complaints, or the check below proves nothing.
        WarningCollector warnings;
        QSvgRenderer broken(
            QByteArrayLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'>"
                              "<rect width='4' height='4' fill='url(#missing)'/></svg>"));
        EXPECT_FALSE(warnings.messages.isEmpty());
    }
    for (const auto& [path, size] : requiredSizes()) {
        SCOPED_TRACE(path.toStdString());
        WarningCollector warnings;
        QSvgRenderer renderer(path);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(sizeText(renderer.defaultSize()), sizeText(size));
        EXPECT_EQ(renderer.viewBoxF(), QRectF(QPointF(0, 0), QSizeF(size)));
        // A drawing whose shapes the renderer skipped would come out (nearly) empty.
        const QImage image = renderAtDefaultSize(renderer);
        EXPECT_GT(opaquePixels(image), size.width() * size.height() / 5);
        EXPECT_TRUE(warnings.messages.isEmpty()) << warnings.messages.join(u'\n').toStdString();

        // Buttons sit on the skinned bar, which must show through around them. The address
        // field is a plain white field; the reminder's bubble keys out white instead, and its
        // close box is a full square.
        if (path.endsWith(QLatin1String("ImgEditMid.svg")) ||
            path.contains(QLatin1String("/schedule/")))
            continue;
        // Anti-aliasing of a rounded edge may leave a faint trace in a corner pixel.
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
            EXPECT_LT(qAlpha(image.pixel(corner)), 64) << corner.x() << "," << corner.y();
    }
}

TEST_F(Artwork, AddressBackgroundIsAnOpaqueWhiteField) {
    // The edit lies without a frame on this picture, so the text area must be solid white.
    QSvgRenderer renderer(QStringLiteral(":/images/nav/ImgEditMid.svg"));
    const QImage image = renderAtDefaultSize(renderer);
    for (const QPoint p : {QPoint(30, 13), QPoint(156, 18), QPoint(300, 20)})
        EXPECT_EQ(image.pixel(p), qRgba(255, 255, 255, 255)) << p.x() << "," << p.y();
}

TEST_F(Artwork, StateVariantsDifferFromTheirNormalPicture) {
    const std::pair<const char*, const char*> pairs[] = {
        {"nav/goback", "nav/gobackenter"},
        {"nav/goback", "nav/gobackfalse"},
        {"nav/goforward", "nav/goforwardenter"},
        {"nav/goforward", "nav/goforwardfalse"},
        {"nav/stop", "nav/stopenter"},
        {"nav/refresh", "nav/refreshenter"},
        {"nav/homepage", "nav/homepageenter"},
        {"nav/gohttpimg2", "nav/gohttpimg1"},
        {"popup/ImgGoMainFormLeave", "popup/ImgGoMainFormEnter"},
    };
    for (const auto& [normal, variant] : pairs) {
        SCOPED_TRACE(variant);
        QSvgRenderer a(QStringLiteral(":/images/%1.svg").arg(QLatin1String(normal)));
        QSvgRenderer b(QStringLiteral(":/images/%1.svg").arg(QLatin1String(variant)));
        EXPECT_NE(renderAtDefaultSize(a), renderAtDefaultSize(b));
    }
}

TEST_F(Artwork, ImageListPicturesAreAllDistinct) {
    // Menus tell their entries apart by these icons alone.
    std::vector<QImage> images;
    for (int i = 0; i < 16; ++i) {
        QSvgRenderer renderer(
            QStringLiteral(":/images/imagelist/%1.svg").arg(i, 2, 10, QLatin1Char('0')));
        images.push_back(renderAtDefaultSize(renderer));
    }
    for (size_t i = 0; i < images.size(); ++i)
        for (size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " and " << j;
}

} // namespace
} // namespace koro
