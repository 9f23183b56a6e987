#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QEvent;
class QKeyEvent;

namespace Ui {
class NavigationBar;
}

namespace koro {

class BrowserControl;
class ImageList;
class PictureButton;
class ShellOpen;
struct Endpoints;

// The main window's navigation row: the picture buttons, the address box with its engine icon
// and engine menu, the loading indicator, and the back and forward states of the page area.
// It owns the chosen engine ("Baidu", "TaoBao" or empty); the go label's tooltip shows it.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    // The home page as the settings hold it when it is asked for.
    using HomePage = std::function<QString()>;

    // Everything given must outlive the bar; the loading indicator is placed into the address
    // box's frame.
    NavigationBar(BrowserControl& page, BrowserControl& loading, ShellOpen& shell,
                  const Endpoints& endpoints, const ImageList& images, HomePage homePage,
                  QWidget* parent = nullptr);
    ~NavigationBar() override;

    Ui::NavigationBar& ui() const { return *m_ui; }

    // Opens the text in the page area when it looks like an address, otherwise hands the
    // chosen engine's result page to the desktop.
    void gourl(const QString& text);

    // Shows picture imageIndex of the image list as the engine icon; ImageList::Baidu and
    // ImageList::TaoBao choose their engine.
    void SetSearchEngine(int imageIndex);
    // The engine of that name ("Baidu" or "TaoBao"); any other name changes nothing.
    void setSearchEngineByName(const QByteArray& name);
    QByteArray searchEngine() const;

    void gohttpClick();
    void gobackClick();
    void goforwardClick();
    void stopClick();
    void refreshClick();
    void homepageClick();
    // Returns whether the key was consumed.
    bool httpaddrKeyPress(const QKeyEvent& key);
    void httpaddrDblClick();
    void PopbaiduClick();
    void PopTaoBaoClick();
    void ImgsiteicoClick();
    void ImgsiteicoMouseMove();

    void WebBrowser1CommandStateChange(int command, bool enable);
    void WebBrowser1BeforeNavigate2(const QString& url, bool* cancel);
    void WebBrowser1DocumentComplete();

    // By click label name: Labelback, Labelforward, Labelstop, Labelrefresh, Labelhome, gohttp.
    PictureButton* button(const QString& labelName) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void popupEngineMenu();

    std::unique_ptr<Ui::NavigationBar> m_ui;
    BrowserControl& m_page;
    BrowserControl& m_loading;
    ShellOpen& m_shell;
    const Endpoints& m_endpoints;
    const ImageList& m_images;
    HomePage m_homePage;
    QByteArray m_searchEngine;
};

} // namespace koro
