#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QAction;
class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;

namespace koro {

class BrowserControl;
class ImageList;
class PictureButton;
class ShellOpen;
struct AppSettings;
struct Endpoints;

// The main window's navigation row: the picture buttons, the address box with its engine icon
// and engine menu, the loading indicator, and the back and forward states of the page area.
// It owns the chosen engine ("Baidu", "TaoBao" or empty); the go label's tooltip shows it.
class NavigationBar : public QObject {
    Q_OBJECT
public:
    // The window's components the bar drives.
    struct Widgets {
        // Each picture button: its click label, its normal and mouse-over pictures.
        QLabel* Labelback;
        QLabel* goback;
        QLabel* gobackenter;
        QLabel* gobackfalse;
        QLabel* Labelforward;
        QLabel* goforward;
        QLabel* goforwardenter;
        QLabel* goforwardfalse;
        QLabel* Labelstop;
        QLabel* stop;
        QLabel* stopenter;
        QLabel* Labelrefresh;
        QLabel* refresh;
        QLabel* refreshenter;
        QLabel* Labelhome;
        QLabel* homepage;
        QLabel* homepageenter;
        QLabel* gohttp;
        QLabel* gohttpimg2;
        QLabel* gohttpimg1;
        QLineEdit* httpaddr;
        QLabel* Imgsiteico;
        QMenu* PopupMenu3;
        QAction* Popbaidu;
        QAction* PopTaoBao;
    };

    // Everything given must outlive the bar; settings gives the home page when it is asked for.
    NavigationBar(const Widgets& widgets, BrowserControl& page, BrowserControl& loading,
                  ShellOpen& shell, const Endpoints& endpoints, const ImageList& images,
                  const AppSettings& settings, QObject* parent = nullptr);
    ~NavigationBar() override;

    // Opens the text in the page area when it looks like an address, otherwise hands the
    // chosen engine's result page to the desktop.
    void gourl(const QString& text);

    // Shows picture imageIndex of the image list as the engine icon; 2 chooses Baidu, 7 TaoBao.
    void SetSearchEngine(int imageIndex);
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

    Widgets m_ui;
    BrowserControl& m_page;
    BrowserControl& m_loading;
    ShellOpen& m_shell;
    const Endpoints& m_endpoints;
    const ImageList& m_images;
    const AppSettings& m_settings;
    QByteArray m_searchEngine;
};

} // namespace koro
