#include "browse/NavigationBar.h"

#include "browse/AddressEntry.h"
#include "browse/PictureButton.h"
#include "config/ApplicationTitle.h"
#include "config/ImageList.h"
#include "config/SearchEngineName.h"
#include "config/TextTrim.h"
#include "platform/ShellOpen.h"
#include "ui_NavigationBar.h"
#include "webengine/BrowserControl.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>

namespace koro {

NavigationBar::NavigationBar(BrowserControl& page, BrowserControl& loading, ShellOpen& shell,
                             const Endpoints& endpoints, const ImageList& images, HomePage homePage,
                             QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::NavigationBar>())
    , m_page(page)
    , m_loading(loading)
    , m_shell(shell)
    , m_endpoints(endpoints)
    , m_images(images)
    , m_homePage(std::move(homePage)) {
    m_ui->setupUi(this);
    // Layouts give fonts in points only; the address box's is 16 pixels high.
    QFont addressFont = m_ui->httpaddr->font();
    addressFont.setPixelSize(16);
    m_ui->httpaddr->setFont(addressFont);

    m_loading.setParent(m_ui->PanelEdit);
    m_loading.setGeometry(6, 5, 16, 16);
    m_loading.raise();
    // A new parent hides it; it shows with the window until the first page is there.
    m_loading.show();

    const struct {
        QLabel* label;
        QLabel* normal;
        QLabel* mouseOver;
        void (NavigationBar::*click)();
    } buttons[] = {
        {m_ui->Labelback, m_ui->goback, m_ui->gobackenter, &NavigationBar::gobackClick},
        {m_ui->Labelforward, m_ui->goforward, m_ui->goforwardenter, &NavigationBar::goforwardClick},
        {m_ui->Labelstop, m_ui->stop, m_ui->stopenter, &NavigationBar::stopClick},
        {m_ui->Labelrefresh, m_ui->refresh, m_ui->refreshenter, &NavigationBar::refreshClick},
        {m_ui->Labelhome, m_ui->homepage, m_ui->homepageenter, &NavigationBar::homepageClick},
        {m_ui->gohttp, m_ui->gohttpimg2, m_ui->gohttpimg1, &NavigationBar::gohttpClick},
    };
    for (const auto& b : buttons) {
        auto* button = new PictureButton(b.label, b.normal, b.mouseOver, this);
        connect(button, &PictureButton::clicked, this, b.click);
    }

    m_ui->httpaddr->installEventFilter(this);
    // Merely moving over the engine icon opens the engine menu.
    m_ui->Imgsiteico->setMouseTracking(true);
    m_ui->Imgsiteico->installEventFilter(this);
    m_ui->gohttp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->gohttp, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_ui->PopupMenu3->popup(m_ui->gohttp->mapToGlobal(pos)); });
    connect(m_ui->Popbaidu, &QAction::triggered, this, &NavigationBar::PopbaiduClick);
    connect(m_ui->PopTaoBao, &QAction::triggered, this, &NavigationBar::PopTaoBaoClick);

    connect(&m_page, &BrowserControl::commandStateChange, this,
            &NavigationBar::WebBrowser1CommandStateChange);
    connect(&m_page, &BrowserControl::beforeNavigate2, this,
            &NavigationBar::WebBrowser1BeforeNavigate2);
    // A stopped, failed or refused load, or one inside a frame, completes no document.
    connect(&m_page, &BrowserControl::loadingStopped, this,
            &NavigationBar::WebBrowser1DocumentComplete);
    connect(&m_page, &BrowserControl::documentComplete, this,
            &NavigationBar::WebBrowser1DocumentComplete);
}

NavigationBar::~NavigationBar() = default;

PictureButton* NavigationBar::button(const QString& labelName) const {
    return findChild<PictureButton*>(labelName, Qt::FindDirectChildrenOnly);
}

void NavigationBar::gourl(const QString& text) {
    const QString trimmed = trimBlanksAndControls(text);
    if (trimmed.isEmpty())
        return;
    if (IsUrl(trimmed)) {
        // Unchanged: the page area completes a bare host name itself.
        m_page.navigate(trimmed);
        return;
    }
    const QString address = searchAddress(m_endpoints, QString::fromUtf8(m_searchEngine), trimmed);
    if (address.isEmpty() || m_shell.open(address))
        return;
    QMessageBox box(QMessageBox::Information, applicationTitle(),
                    QStringLiteral("无法打开搜索结果:这台电脑上没有找到可以打开网页的浏览器。"),
                    QMessageBox::Ok, window());
    box.setObjectName("NoBrowserBox");
    box.exec();
}

void NavigationBar::SetSearchEngine(int imageIndex) {
    m_ui->Imgsiteico->setPixmap(m_images.pixmap(imageIndex));
    if (imageIndex == ImageList::Baidu)
        m_searchEngine = "Baidu";
    else if (imageIndex == ImageList::TaoBao)
        m_searchEngine = "TaoBao";
    else
        return; // another picture keeps the engine
    m_ui->gohttp->setToolTip(searchEngineDisplayName(m_searchEngine));
}

void NavigationBar::setSearchEngineByName(const QByteArray& name) {
    if (name == "Baidu")
        SetSearchEngine(ImageList::Baidu);
    else if (name == "TaoBao")
        SetSearchEngine(ImageList::TaoBao);
}

QByteArray NavigationBar::searchEngine() const {
    return m_searchEngine;
}

void NavigationBar::gohttpClick() {
    gourl(m_ui->httpaddr->text());
}

void NavigationBar::gobackClick() {
    m_page.goBack();
}

void NavigationBar::goforwardClick() {
    m_page.goForward();
}

void NavigationBar::stopClick() {
    m_page.stop();
}

void NavigationBar::refreshClick() {
    m_page.refresh();
}

void NavigationBar::homepageClick() {
    m_page.navigate(m_homePage());
}

bool NavigationBar::httpaddrKeyPress(const QKeyEvent& key) {
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    gohttpClick();
    return true;
}

void NavigationBar::httpaddrDblClick() {
    m_ui->httpaddr->selectAll();
}

void NavigationBar::PopbaiduClick() {
    SetSearchEngine(ImageList::Baidu);
    gourl(m_ui->httpaddr->text());
}

void NavigationBar::PopTaoBaoClick() {
    SetSearchEngine(ImageList::TaoBao);
    gourl(m_ui->httpaddr->text());
}

void NavigationBar::ImgsiteicoClick() {
    popupEngineMenu();
}

void NavigationBar::ImgsiteicoMouseMove() {
    popupEngineMenu();
}

void NavigationBar::popupEngineMenu() {
    if (!m_ui->PopupMenu3->isVisible())
        m_ui->PopupMenu3->popup(QCursor::pos());
}

void NavigationBar::WebBrowser1CommandStateChange(int command, bool enable) {
    if (command == BrowserControl::CommandBack)
        m_ui->Labelback->setEnabled(enable);
    const bool back = m_ui->Labelback->isEnabled();
    m_ui->goback->setVisible(back);
    m_ui->gobackfalse->setVisible(!back);

    if (command == BrowserControl::CommandForward)
        m_ui->Labelforward->setEnabled(enable);
    const bool forward = m_ui->Labelforward->isEnabled();
    m_ui->goforward->setVisible(forward);
    m_ui->goforwardfalse->setVisible(!forward);
}

void NavigationBar::WebBrowser1BeforeNavigate2(const QString&, bool*) {
    m_loading.show();
}

void NavigationBar::WebBrowser1DocumentComplete() {
    m_loading.hide();
}

bool NavigationBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->httpaddr) {
        if (event->type() == QEvent::KeyPress)
            return httpaddrKeyPress(*static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::MouseButtonDblClick) {
            httpaddrDblClick();
            return true;
        }
    } else if (watched == m_ui->Imgsiteico) {
        if (event->type() == QEvent::MouseMove) {
            ImgsiteicoMouseMove();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_ui->Imgsiteico->rect().contains(mouse->position().toPoint()))
                ImgsiteicoClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace koro
