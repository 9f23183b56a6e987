#include "browse/TForm3.h"

#include "browse/NewWindowPolicy.h"
#include "browse/WindowPlacement.h"
#include "config/AppSettings.h"
#include "config/ApplicationTitle.h"
#include "config/ContainStep.h"
#include "config/TextTrim.h"
#include "ui_TForm3.h"
#include "webengine/BrowserControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace koro {

namespace {

// Whether anything is left once blanks and control characters are cut from both ends.
bool hasVisibleText(const QString& text) {
    return !trimBlanksAndControls(text).isEmpty();
}

// The engine names a page without a title after its address, as an address bar shows it.
bool namesOnlyItsAddress(const QString& name, const QString& address) {
    const QUrl url(address);
    QString shown = url.toString(QUrl::RemoveScheme | QUrl::RemoveUserInfo);
    if (shown.startsWith(QLatin1String("//")))
        shown.remove(0, 2);
    for (const QString& form : {address, shown}) {
        if (name == form || name + u'/' == form)
            return true;
    }
    return name.trimmed().isEmpty() || (url.isLocalFile() && name == url.fileName());
}

// Each popup opened while others show is set off by this much, so none hides another.
constexpr int CascadeStep = 24;
constexpr int CascadeSteps = 8;

} // namespace

TForm3::TForm3(QWidget& mainWindow, BrowserFactory& browsers, const AppSettings& settings,
               NewWindowPolicy& policy)
    : QWidget(CreateParams(mainWindow, settings), Qt::Window)
    , m_ui(std::make_unique<Ui::TForm3>())
    , m_policy(&policy)
    , m_main(&mainWindow)
    , m_placement(new WindowPlacement(*this)) {
    m_ui->setupUi(this);
    m_ui->ImgGoMainFormLeave->raise();
    m_ui->Labelimg->raise();
    m_ui->Labelimg->installEventFilter(this);

    m_webbrowser1 = browsers.create(BrowserRole::Popup, this);
    m_webbrowser1->setObjectName("Webbrowser1");
    m_ui->FormLayout->insertWidget(0, m_webbrowser1, 1);

    // The page's events carry out-parameters: direct connections only.
    connect(m_webbrowser1, &BrowserControl::beforeNavigate2, this,
            &TForm3::Webbrowser1BeforeNavigate2, Qt::DirectConnection);
    connect(m_webbrowser1, &BrowserControl::statusTextChange, this,
            &TForm3::WebBrowser1StatusTextChange, Qt::DirectConnection);
    connect(m_webbrowser1, &BrowserControl::documentComplete, this,
            &TForm3::WebBrowser1DocumentComplete, Qt::DirectConnection);
    connect(m_webbrowser1, &BrowserControl::windowClosing, this, &TForm3::Webbrowser1WindowClosing,
            Qt::DirectConnection);
    connect(m_webbrowser1, &BrowserControl::newWindow2, this, &TForm3::Webbrowser1NewWindow2,
            Qt::DirectConnection);
    connect(m_webbrowser1, &BrowserControl::geometryChangeRequested, this,
            &TForm3::applyRequestedGeometry);

    if (!parentWidget()) {
        // Nothing else owns a window of its own; it must not outlive the program's main window.
        connect(&mainWindow, &QObject::destroyed, this, [this] { delete this; });
    }
    FormCreate(settings);
}

TForm3::~TForm3() = default;

QWidget* TForm3::CreateParams(QWidget& mainWindow, const AppSettings& settings) {
    // A window of its own with its own taskbar entry; otherwise the main window owns it.
    return settings.minimizeToTaskbar() ? nullptr : &mainWindow;
}

void TForm3::FormCreate(const AppSettings& settings) {
    // Set on the widget before its native window exists: the page engine has the native window
    // recreated from the widget's flags once the first page shows.
    setWindowFlag(Qt::WindowStaysOnTopHint, settings.alwaysOnTop());
    create();
}

QString TForm3::downloadingHint() const {
    return m_ui->PanelDownloading->property(HintProperty).toString();
}

QString TForm3::hint() const {
    return property(HintProperty).toString();
}

void TForm3::Webbrowser1BeforeNavigate2(const QString& url, bool*) {
    m_ui->PanelDownloading->setProperty(HintProperty, url);
}

void TForm3::WebBrowser1StatusTextChange(const QString& text) {
    m_ui->PanelDownloading->setText(hasVisibleText(text) ? text : downloadingHint());
}

void TForm3::WebBrowser1DocumentComplete(const QString&) {
    m_ui->PanelDownloading->setText(downloadingHint());
    const QString address = m_webbrowser1->locationURL();
    m_ui->PanelDownloading->setProperty(HintProperty, address);
    const QString name = m_webbrowser1->locationName();
    setWindowTitle(namesOnlyItsAddress(name, address) ? applicationTitle() : name);
    if (hint() == QLatin1String(Closing))
        deleteLater(); // the event is still running inside the page
}

void TForm3::Webbrowser1WindowClosing(bool, bool*) {
    hide();
    deleteLater();
}

void TForm3::Webbrowser1NewWindow2(BrowserControl** target, bool* cancel) {
    if (m_policy)
        m_policy->Webbrowser1NewWindow2(target, cancel);
}

void TForm3::LabelimgMouseEnter() {
    m_ui->ImgGoMainFormEnter->show();
    m_ui->ImgGoMainFormLeave->hide();
}

void TForm3::LabelimgMouseLeave() {
    m_ui->ImgGoMainFormEnter->hide();
    m_ui->ImgGoMainFormLeave->show();
}

void TForm3::LabelimgClick() {
    if (!m_policy)
        return;
    // A window that never had an address of its own (opened empty) has nothing to move; the
    // click happens outside the engine, where nothing may escape.
    if (containStep("moving popup page", [&] { m_policy->openInMainWindow(downloadingHint()); }))
        close();
}

void TForm3::closeEvent(QCloseEvent* event) {
    // Closing only hides: the window goes once the blank page has stopped everything it played.
    event->ignore();
    FormClose();
}

void TForm3::FormClose() {
    hide();
    const bool closing = containStep("closing popup", [&] {
        setProperty(HintProperty, QString::fromLatin1(Closing));
        m_webbrowser1->navigate(QStringLiteral("about:blank"));
    });
    if (!closing)
        deleteLater();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->Labelimg) {
        switch (event->type()) {
        case QEvent::Enter:
            LabelimgMouseEnter();
            break;
        case QEvent::Leave:
            LabelimgMouseLeave();
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_ui->Labelimg->rect().contains(mouse->position().toPoint())) {
                LabelimgClick();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::applyRequestedGeometry(const QRect& geometry) {
    // The script asks for the size of its page; the place stays where the window opened.
    if (geometry.width() <= 0 || geometry.height() <= 0)
        return;
    const QSize size(geometry.width(), geometry.height() + m_ui->Panel1->minimumHeight());
    // The request comes as the engine adopts the new window, just before it has the native window
    // recreated for drawing; a size still on its way to the window system would be lost with the
    // old one.
    QTimer::singleShot(0, this, [this, size] {
        m_placement->place(size, frameGeometry().topLeft(), screenArea(), expectedFrame());
    });
}

void TForm3::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_placed) {
        m_placed = true;
        placeOnScreen();
    }
    QWidget::showEvent(event);
}

void TForm3::placeOnScreen() {
    int others = 0;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && qobject_cast<const TForm3*>(window))
            ++others;
    }
    const QMargins frame = expectedFrame();
    QRect outer(QPoint(), size().grownBy(frame));
    const QWidget* main = m_main;
    outer.moveCenter(main && main->isVisible() ? main->frameGeometry().center()
                                               : screenArea().center());
    m_placement->place(size(),
                       outer.topLeft() + QPoint(1, 1) * CascadeStep * (others % CascadeSteps),
                       screenArea(), frame);
}

QRect TForm3::screenArea() const {
    const QWidget* main = m_main;
    const QScreen* display = main && main->isVisible() ? main->screen() : screen();
    return display ? display->availableGeometry() : QRect(QPoint(), size());
}

QMargins TForm3::expectedFrame() const {
    // Until the window system has framed this window, the main window's frame is the best guess.
    const QWidget* main = m_main;
    const QWidget* framed = frameGeometry() != geometry() || !main ? this : main;
    const QRect outer = framed->frameGeometry();
    const QRect inner = framed->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace koro
