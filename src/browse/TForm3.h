#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

namespace Ui {
class TForm3;
}

namespace koro {

class BrowserControl;
class BrowserFactory;
class NewWindowPolicy;
class WindowPlacement;
struct AppSettings;

// A popup browser window: the page, a status line, and a button that moves the page to the
// main window. It is never deleted by a close: closing hides it and loads the blank page, and
// the window destroys itself when that page has completed.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    // Reads MinTask and FrontShow of the settings now. An owned popup is freed with the main
    // window; one without owner frees itself when the main window goes. The page's own new
    // windows go to policy.
    TForm3(QWidget& mainWindow, BrowserFactory& browsers, const AppSettings& settings,
           NewWindowPolicy& policy);
    ~TForm3() override;

    BrowserControl* Webbrowser1() const { return m_webbrowser1; }
    Ui::TForm3& ui() { return *m_ui; }

    // The page address the status line falls back to (the hint of PanelDownloading).
    QString downloadingHint() const;
    // "Close" once the window is closing.
    QString hint() const;

    void Webbrowser1BeforeNavigate2(const QString& url, bool* cancel);
    void WebBrowser1StatusTextChange(const QString& text);
    void WebBrowser1DocumentComplete(const QString& url);
    void Webbrowser1WindowClosing(bool isChildWindow, bool* cancel);
    void Webbrowser1NewWindow2(BrowserControl** target, bool* cancel);
    void LabelimgMouseEnter();
    void LabelimgMouseLeave();
    void LabelimgClick();
    void FormClose();

    static constexpr char HintProperty[] = "hint";
    static constexpr char Closing[] = "Close";

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    static QWidget* CreateParams(QWidget& mainWindow, const AppSettings& settings);
    void FormCreate(const AppSettings& settings);
    void applyRequestedGeometry(const QRect& geometry);
    // Over the main window, set off from the popups already open, wholly on the screen.
    void placeOnScreen();
    QRect screenArea() const;
    QMargins expectedFrame() const;

    std::unique_ptr<Ui::TForm3> m_ui;
    QPointer<NewWindowPolicy> m_policy;
    QPointer<QWidget> m_main;
    BrowserControl* m_webbrowser1 = nullptr;
    WindowPlacement* m_placement; // owned as a child
    bool m_placed = false;
};

} // namespace koro
