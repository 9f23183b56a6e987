#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QEvent;
class QKeyEvent;

namespace Ui {
class TForm1;
}

namespace koro {

class PictureButton;
class TForm1;

// The main window's navigation row: the picture buttons, the address box with its engine icon
// and engine menu, the loading indicator, and the back and forward states of the page area.
// The chosen engine is the go label's tooltip ("Baidu", "TaoBao" or empty).
class NavigationBar : public QObject {
    Q_OBJECT
public:
    // Works on the window's components; the window must outlive it.
    explicit NavigationBar(TForm1& form);
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

    TForm1& m_form;
    Ui::TForm1& m_ui;
};

} // namespace koro
