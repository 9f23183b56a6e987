#include "browse/TForm3.h"

#include "browse/NewWindowPolicy.h"
#include "config/AppSettings.h"
#include "config/ContainStep.h"
#include "config/TextTrim.h"
#include "ui_TForm3.h"
#include "webengine/BrowserControl.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace koro {

namespace {

// Whether anything is left once blanks and control characters are cut from both ends.
bool hasVisibleText(const QString& text) {
    return !trimBlanksAndControls(text).isEmpty();
}

} // namespace

TForm3::TForm3(QWidget& mainWindow, BrowserFactory& browsers, const AppSettings& settings,
               NewWindowPolicy& policy)
    : QWidget(CreateParams(mainWindow, settings), Qt::Window)
    , m_ui(std::make_unique<Ui::TForm3>())
    , m_policy(&policy) {
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
    m_ui->PanelDownloading->setProperty(HintProperty, m_webbrowser1->locationURL());
    setWindowTitle(m_webbrowser1->locationName());
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
    // The script asks for the size of its page; the place stays the window system's choice.
    if (geometry.width() <= 0 || geometry.height() <= 0)
        return;
    QSize size(geometry.width(), geometry.height() + m_ui->Panel1->minimumHeight());
    if (const QScreen* display = screen())
        size = size.boundedTo(display->availableGeometry().size());
    size = size.expandedTo(minimumSizeHint());
    // The request comes as the engine adopts the new window, just before it has the native window
    // recreated for drawing; a size still on its way to the window system would be lost with the
    // old one.
    QTimer::singleShot(0, this, [this, size] { resize(size); });
}

} // namespace koro
