// The yardstick: a plain window with one page view loading the same page as the program.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(784, 564);
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool) {
        std::printf("loaded %lld\n", static_cast<long long>(clock.elapsed()));
        std::fflush(stdout);
    });
    view.show();
    std::printf("shown %lld\n", static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    view.load(QUrl(QString::fromLocal8Bit(argc > 1 ? argv[1] : "about:blank")));
    return app.exec();
}
