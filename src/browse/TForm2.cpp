#include "browse/TForm2.h"

#include "config/Endpoints.h"
#include "config/OwnFrame.h"
#include "platform/FileVersion.h"
#include "ui_TForm2.h"
#include "webengine/BrowserControl.h"

#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace koro {

namespace {

constexpr char Song[] = "宋体";
constexpr char SansSerif[] = "MS Sans Serif";

// The faces named by the layout are Windows fonts; where they are missing, close relatives of
// the same width come first, before the much wider default sans-serif face.
QFont pixelFont(const char* family, int pixels) {
    QFont font;
    font.setFamilies({QString::fromUtf8(family), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setPixelSize(pixels);
    return font;
}

// Keeps a text clear of the window's right edge.
constexpr int TextMargin = 3;

// Where a face of other widths stands in for the layout's, a text too long for the window
// gets smaller rather than cut.
void shrinkToFit(QLabel* label, int right) {
    constexpr int SmallestPixelSize = 8;
    QFont font = label->font();
    while (label->x() + label->fontMetrics().horizontalAdvance(label->text()) > right &&
           font.pixelSize() > SmallestPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        label->setFont(font);
    }
    label->adjustSize();
}

} // namespace

TForm2::TForm2(QWidget& owner, BrowserControl& page, const Endpoints& endpoints,
               const QString& executablePath)
    // The frame is its own: the window manager's would offer minimise and maximise too.
    : QWidget(&owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_ui(std::make_unique<Ui::TForm2>())
    , m_owner(owner)
    , m_page(page) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Until the window manager tells the frame's size, the client area takes the whole size.
    setFixedSize(OuterSize);
    applyFonts();

    m_ui->Image1->setPixmap(QIcon(":/images/app/koro.svg").pixmap(48, 48));
    setLink(m_ui->Label4, endpoints.makerHome);
    setLink(m_ui->Label8, endpoints.makerAbout);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    FormCreate(executablePath);
    new OwnFrame(this);
    for (QLabel* label : {m_ui->Label5, m_ui->version, m_ui->Label4, m_ui->Label8, m_ui->Label2})
        shrinkToFit(label, OuterSize.width() - 2 * OwnFrame::Border - TextMargin);
    placeOverOwner();
}

TForm2::~TForm2() = default;

void TForm2::applyFonts() {
    // Each label gets its font set, not inherited: a skin's style sheet replaces inherited
    // fonts with the application's.
    setFont(pixelFont(SansSerif, 11));
    m_ui->version->setFont(pixelFont(SansSerif, 11));
    for (QWidget* chinese : {m_ui->Label6, m_ui->Label3, m_ui->Label7})
        chinese->setFont(pixelFont(Song, 12));
    m_ui->Label5->setFont(pixelFont(Song, 21));
    m_ui->Label2->setFont(pixelFont(SansSerif, 13));
    m_ui->Button1->setFont(pixelFont(Song, 13));
    // Captions that size themselves to their text, so a link is clickable only on its text.
    for (QLabel* label : {m_ui->Label5, m_ui->Label2})
        label->adjustSize();
}

void TForm2::setLink(QLabel* label, const QString& url) {
    QFont font = pixelFont(SansSerif, 11);
    font.setUnderline(true);
    label->setFont(font);
    label->setText(url);
    label->setToolTip(url);
    label->adjustSize();
    label->installEventFilter(this);
}

void TForm2::FormCreate(const QString& executablePath) {
    m_ui->version->setText(fileVersionText(executablePath));
    m_ui->version->adjustSize();
}

void TForm2::Label4Click() {
    followLink(m_ui->Label4);
}

void TForm2::Label8Click() {
    followLink(m_ui->Label8);
}

void TForm2::Button1Click() {
    close();
}

void TForm2::followLink(const QLabel* label) {
    // The main window may be hidden in the tray: its page area still takes the address.
    m_page.navigate(label->toolTip());
    close();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = static_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click is a press and release over the label, as with a button.
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == m_ui->Label4)
                Label4Click();
            else if (label == m_ui->Label8)
                Label8Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm2::placeOverOwner() {
    const QPoint centre = m_owner.frameGeometry().center();
    move(centre - QPoint(OuterSize.width() / 2, OuterSize.height() / 2));
}

bool TForm2::event(QEvent* event) {
    // The frame's size is known only once the window manager has framed the window.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        fitOuterSize();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm2::fitOuterSize() {
    const QWindow* window = windowHandle();
    if (!window)
        return;
    const QSize client = OuterSize.shrunkBy(window->frameMargins());
    if (client.isValid() && size() != client)
        setFixedSize(client);
}

} // namespace koro
