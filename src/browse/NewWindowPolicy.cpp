#include "browse/NewWindowPolicy.h"

#include "browse/TForm3.h"
#include "config/AppSettings.h"
#include "config/ContainStep.h"
#include "webengine/BrowserControl.h"

namespace koro {

NewWindowPolicy::NewWindowPolicy(QWidget& mainWindow, BrowserControl& page, BrowserControl& catcher,
                                 BrowserFactory& browsers, const AppSettings& settings)
    : QObject(&mainWindow)
    , m_main(mainWindow)
    , m_page(page)
    , m_catcher(catcher)
    , m_browsers(browsers)
    , m_settings(settings) {
    // Both events come from inside the engine and carry out-parameters: direct connections.
    connect(&m_page, &BrowserControl::newWindow2, this, &NewWindowPolicy::Webbrowser1NewWindow2,
            Qt::DirectConnection);
    connect(&m_catcher, &BrowserControl::beforeNavigate2, this,
            &NewWindowPolicy::WebBrowser2BeforeNavigate2, Qt::DirectConnection);
}

void NewWindowPolicy::Webbrowser1NewWindow2(BrowserControl** target, bool*) {
    // Called from inside the engine: nothing may escape into it.
    containStep("new window", [&] {
        if (m_settings.opensInMainWindow())
            *target = &m_catcher;
        else
            *target = createPopup()->Webbrowser1();
    });
}

void NewWindowPolicy::WebBrowser2BeforeNavigate2(const QString& url, bool* cancel) {
    *cancel = true;
    // An empty new window would only blank the page the user is watching.
    if (url.isEmpty() || url == QLatin1String("about:blank"))
        return;
    containStep("new window address", [&] { m_page.navigate(url); });
}

void NewWindowPolicy::openInMainWindow(const QString& url) {
    m_page.navigate(url);
}

TForm3* NewWindowPolicy::createPopup() {
    // Owned by the main window, or by itself (see TForm3).
    auto* popup = new TForm3(m_main, m_browsers, m_settings, *this);
    popup->show();
    emit popupCreated(popup);
    return popup;
}

TForm3* NewWindowPolicy::openPopup(const QString& url) {
    TForm3* popup = createPopup();
    try {
        popup->Webbrowser1()->navigate(url);
    } catch (...) {
        popup->hide();
        popup->deleteLater();
        throw;
    }
    return popup;
}

} // namespace koro
