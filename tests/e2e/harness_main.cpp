// The real program, with every web address on the local test server named by KORO_E2E_BASE.
// It reports what the page areas load on standard output, so tests can follow them.
#include "app/Entry.h"
#include "app/TForm1.h"
#include "browse/NewWindowPolicy.h"
#include "browse/TForm3.h"
#include "config/Endpoints.h"
#include "platform/Platform.h"
#include "webengine/BrowserControl.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QObject>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void report(const char* what, const QString& who, const QString& url) {
    std::printf("e2e: %s %s %s\n", what, qPrintable(who), qPrintable(url));
    std::fflush(stdout);
}

void follow(koro::BrowserControl* browser) {
    const QString name = browser->objectName();
    QObject::connect(
        browser, &koro::BrowserControl::documentComplete, browser,
        [browser](const QString& url) { report("documentComplete", browser->objectName(), url); });
    QObject::connect(browser, &koro::BrowserControl::beforeNavigate2, browser,
                     [browser](const QString& url, bool*) {
                         report("beforeNavigate2", browser->objectName(), url);
                     });
}

// Where the caption buttons of the top row are, in window coordinates, so tests can click them:
// "e2e: caption <text> <x> <y> <width> <height>".
void reportCaptions(QWidget* form) {
    const auto* bar = form->findChild<QWidget*>("ToolBar2");
    if (!bar)
        return;
    for (const QToolButton* button : bar->findChildren<QToolButton*>()) {
        if (!button->isVisible())
            continue;
        const QRect r(button->mapTo(form, QPoint(0, 0)), button->size());
        std::printf("e2e: caption %s %d %d %d %d\n", qPrintable(button->text()), r.x(), r.y(),
                    r.width(), r.height());
    }
    std::fflush(stdout);
}

// Where the controls tests click are, in their window's coordinates, each time the window shows
// or changes size: "e2e: widget <window> <name> <x> <y> <width> <height>". A popup is named
// after its number, "TForm3-2".
class WidgetReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Resize) &&
            watched->isWidgetType() && controls().contains(watched->objectName())) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow())
                QTimer::singleShot(0, window, [window] { report(window); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static const QHash<QString, QStringList>& controls() {
        static const QHash<QString, QStringList> names{
            {"TForm1", {"httpaddr", "PageArea", "Panel9"}},
            {"TForm2", {"Label4", "Label8"}},
            {"TForm3", {"Labelimg", "Webbrowser1"}},
        };
        return names;
    }

    static void report(QWidget* window) {
        QString name = window->objectName();
        if (const QVariant id = window->property("e2eId"); id.isValid())
            name += '-' + id.toString();
        for (const QString& control : controls().value(window->objectName())) {
            const auto* widget = window->findChild<QWidget*>(control);
            if (!widget || !widget->isVisible())
                continue;
            const QRect r(widget->mapTo(window, QPoint(0, 0)), widget->size());
            std::printf("e2e: widget %s %s %d %d %d %d\n", qPrintable(name), qPrintable(control),
                        r.x(), r.y(), r.width(), r.height());
        }
        std::fflush(stdout);
    }
};

// Prints the monotonic clock when the window is first shown, for the start-up benchmark.
class ShowReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !m_done) {
            m_done = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("e2e: shown %lld\n",
                        static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
            std::fflush(stdout);
            if (auto* form = qobject_cast<QWidget*>(watched))
                QTimer::singleShot(0, form, [form] { reportCaptions(form); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

// Reports each about window as it appears, with what its version label says.
class AboutReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "TForm2") {
            const auto* version = watched->findChild<QLabel*>("version");
            report("aboutShown", "TForm2", version ? version->text() : QString("(none)"));
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv) {
    const char* base = std::getenv("KORO_E2E_BASE");
    const auto endpoints =
        koro::Endpoints::local(QString::fromUtf8(base ? base : "http://127.0.0.1:1"));
    return koro::runKoro(argc, argv, endpoints, [](koro::TForm1& form) {
        follow(form.webbrowser1());
        follow(form.WebLoading());
        form.installEventFilter(new ShowReporter(&form));
        qApp->installEventFilter(new AboutReporter(&form));
        qApp->installEventFilter(new WidgetReporter(&form));
        follow(form.Webbrowser2());
        // Popups are numbered in the order they are created.
        QObject::connect(&form.newWindows(), &koro::NewWindowPolicy::popupCreated,
                         [count = 0](koro::TForm3* popup) mutable {
                             const QString id = QString::number(++count);
                             popup->setProperty("e2eId", id);
                             report("popupCreated", "TForm3", id);
                             follow(popup->Webbrowser1());
                             QObject::connect(popup, &QObject::destroyed,
                                              [id] { report("popupDestroyed", "TForm3", id); });
                         });
        QObject::connect(&form, &koro::TForm1::closed, [] { report("closed", "TForm1", ""); });
        // The tray icon's place on screen whenever it changes: "e2e: tray <x> <y> <w> <h>",
        // empty (0 0 0 0) while the host does not tell.
        auto* trayWatch = new QTimer(&form);
        QObject::connect(trayWatch, &QTimer::timeout, &form, [&form, last = QRect()]() mutable {
            const QRect now = form.platform().tray ? form.platform().tray->geometry() : QRect();
            if (now == last)
                return;
            last = now;
            std::printf("e2e: tray %d %d %d %d\n", now.x(), now.y(), now.width(), now.height());
            std::fflush(stdout);
        });
        trayWatch->start(250);
    });
}
