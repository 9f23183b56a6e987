// The real program, with every web address on the local test server named by KORO_E2E_BASE.
// It reports what the page areas load on standard output, so tests can follow them.
#include "app/Entry.h"
#include "app/TForm1.h"
#include "browse/NewWindowPolicy.h"
#include "browse/TForm3.h"
#include "config/Endpoints.h"
#include "platform/Platform.h"
#include "schedule/AdLine.h"
#include "schedule/ScheduledViewing.h"
#include "tv/ChannelBridge.h"
#include "tv/TvFeature.h"
#include "webengine/BrowserControl.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <unistd.h>

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

long long monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// What the TV feature does: "e2e: tv <event> <monotonic ms> <details>".
void followTv(koro::tv::TvFeature& tv) {
    const auto say = [](const char* event, const QString& details) {
        std::printf("e2e: tv %s %lld %s\n", event, monotonicMs(), qPrintable(details));
        std::fflush(stdout);
    };
    QObject::connect(
        &tv, &koro::tv::TvFeature::playlistOpened,
        [say](const QString& source, int n) { say("opened", QString::number(n) + ' ' + source); });
    QObject::connect(&tv, &koro::tv::TvFeature::playlistFailed,
                     [say](const QString& source, const QString& reason) {
                         say("openFailed", reason + ' ' + source);
                     });
    QObject::connect(&tv, &koro::tv::TvFeature::guideLoaded,
                     [say](qsizetype n) { say("guide", QString::number(n)); });
    koro::tv::ChannelBridge* bridge = &tv.bridge();
    QObject::connect(bridge, &koro::tv::ChannelBridge::channelsShown,
                     [say](int n) { say("shown", QString::number(n)); });
    QObject::connect(bridge, &koro::tv::ChannelBridge::nowNextShown,
                     [say](int n) { say("nowNext", QString::number(n)); });
    QObject::connect(bridge, &koro::tv::ChannelBridge::channelPlaying,
                     [say](int i) { say("playing", QString::number(i)); });
    QObject::connect(
        bridge, &koro::tv::ChannelBridge::channelFailed,
        [say](int i, const QString& reason) { say("failed", QString::number(i) + ' ' + reason); });
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
            std::printf("e2e: shown %lld\n", monotonicMs());
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

// Reports the schedule's windows as they appear: "e2e: shown <class> <x> <y> <w> <h> <text>".
class ScheduleReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        auto* widget = static_cast<QWidget*>(watched);
        const QString name = widget->objectName();
        QString text;
        if (name == "TSetTimeForm") {
            const auto* title = widget->findChild<QLabel*>("LabelTvName");
            const auto* url = widget->findChild<QLabel*>("Labeltvurl");
            text = (title ? title->text() : QString()) + "\t" + (url ? url->text() : QString());
        } else if (name == "TfrmPS") {
            const auto* edit = widget->findChild<QPlainTextEdit*>("RichEdit1");
            text = edit ? edit->toPlainText() : QString();
        } else if (name == "ShutdownCountdown") {
            const auto* label = widget->findChild<QLabel*>("CountdownText");
            text = label ? label->text().replace('\n', ' ') : QString();
        } else if (name != "TForm_SoftSet") {
            return QObject::eventFilter(watched, event);
        }
        const QRect r = widget->frameGeometry();
        std::printf("e2e: shown %s %d %d %d %d %s\n", qPrintable(name), r.x(), r.y(), r.width(),
                    r.height(), qPrintable(text));
        std::fflush(stdout);
        return QObject::eventFilter(watched, event);
    }
};

// Test commands on standard input, one per line:
//   interval <timer> <ms>  shortens a timer of the main window (restarting it if it runs)
//   trigger <action>       triggers a menu item of the main window
//   checked <action>       prints "e2e: checked <action> 1" or "... 0"
//   text <line edit>       prints "e2e: text <name> <text>\t<caret position>"
//   label <name>           prints "e2e: label <name> <text>\t<tooltip>\t<x> <y> <w> <h>", with
//                          each line break of the tooltip written as "\n"
//   ping                   prints "e2e: pong" (answers only while the event loop runs)
//   tvopen <playlist>      prints "e2e: tv opening <ms>" and opens the playlist
class CommandReader : public QObject {
public:
    explicit CommandReader(koro::TForm1& form)
        : QObject(&form)
        , m_form(form)
        , m_notifier(STDIN_FILENO, QSocketNotifier::Read, this) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &CommandReader::readInput);
    }

private:
    void readInput() {
        char chunk[512];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            m_notifier.setEnabled(false);
            return;
        }
        m_buffer.append(chunk, n);
        qsizetype end = 0;
        while ((end = m_buffer.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_buffer.left(end)).trimmed();
            m_buffer.remove(0, end + 1);
            run(line.split(' ', Qt::SkipEmptyParts));
        }
    }
    void run(const QStringList& words) {
        if (words.isEmpty())
            return;
        if (words[0] == "interval" && words.size() == 3) {
            if (auto* timer = find<QTimer>(words[1]))
                timer->setInterval(words[2].toInt());
        } else if (words[0] == "trigger" && words.size() == 2) {
            if (auto* action = m_form.findChild<QAction*>(words[1]))
                action->trigger();
        } else if (words[0] == "checked" && words.size() == 2) {
            if (const auto* action = m_form.findChild<QAction*>(words[1]))
                report("checked", words[1], action->isChecked() ? "1" : "0");
        } else if (words[0] == "text" && words.size() == 2) {
            if (const auto* edit = m_form.findChild<QLineEdit*>(words[1]))
                report("text", words[1],
                       edit->text() + "\t" + QString::number(edit->cursorPosition()));
        } else if (words[0] == "label" && words.size() == 2) {
            if (const auto* label = m_form.findChild<QLabel*>(words[1])) {
                const QPoint at = label->mapToGlobal(QPoint(0, 0));
                report("label", words[1],
                       label->text() + "\t" + QString(label->toolTip()).replace('\n', "\\n") +
                           QStringLiteral("\t%1 %2 %3 %4")
                               .arg(at.x())
                               .arg(at.y())
                               .arg(label->width())
                               .arg(label->height()));
            }
        } else if (words[0] == "ping") {
            report("pong", "", "");
        } else if (words[0] == "tvopen" && words.size() == 2) {
            std::printf("e2e: tv opening %lld\n", monotonicMs());
            std::fflush(stdout);
            m_form.parts().tv->open(words[1]);
        }
    }

    // Below the main window or in a window of its own (a countdown, a dialog).
    template <typename T> T* find(const QString& name) const {
        if (auto* found = m_form.findChild<T*>(name))
            return found;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = window->findChild<T*>(name))
                return found;
        }
        return nullptr;
    }

    koro::TForm1& m_form;
    QSocketNotifier m_notifier;
    QByteArray m_buffer;
};

} // namespace

int main(int argc, char** argv) {
    const char* base = std::getenv("KORO_E2E_BASE");
    const auto endpoints =
        koro::Endpoints::local(QString::fromUtf8(base ? base : "http://127.0.0.1:1"));
    koro::RunOptions options;
    // Sessions of tests that run side by side must not meet at the shared lock.
    if (const char* lockFolder = std::getenv("KORO_E2E_LOCK_FOLDER"))
        options.lockFolder = QString::fromLocal8Bit(lockFolder);
    return koro::runKoro(
        argc, argv, endpoints,
        [](koro::TForm1& form) {
            follow(form.parts().page);
            follow(form.parts().loading);
            form.installEventFilter(new ShowReporter(&form));
            qApp->installEventFilter(new AboutReporter(&form));
            qApp->installEventFilter(new WidgetReporter(&form));
            follow(form.parts().catcher);
            // Popups are numbered in the order they are created.
            QObject::connect(form.parts().newWindows, &koro::NewWindowPolicy::popupCreated,
                             [count = 0](koro::TForm3* popup) mutable {
                                 const QString id = QString::number(++count);
                                 popup->setProperty("e2eId", id);
                                 report("popupCreated", "TForm3", id);
                                 follow(popup->Webbrowser1());
                                 QObject::connect(popup, &QObject::destroyed,
                                                  [id] { report("popupDestroyed", "TForm3", id); });
                             });
            QObject::connect(&form, &koro::TForm1::closed, [] { report("closed", "TForm1", ""); });
            qApp->installEventFilter(new ScheduleReporter(&form));
            followTv(*form.parts().tv);
            new CommandReader(form);
            QObject::connect(form.parts().adLine, &koro::AdLine::downloadFinished,
                             [](bool replaced) { report("downloaded", replaced ? "1" : "0", ""); });
            QObject::connect(&form.parts().viewing->TimerSound(), &QTimer::timeout,
                             [] { report("ring", "TimerSound", ""); });
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
        },
        options);
}
