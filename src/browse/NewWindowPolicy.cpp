#include "browse/NewWindowPolicy.h"

#include "app/KoroApplication.h"
#include "app/TForm1.h"
#include "browse/TForm3.h"
#include "platform/BrowserControl.h"

namespace koro {

NewWindowPolicy::NewWindowPolicy(TForm1& mainWindow)
    : QObject(&mainWindow)
    , m_main(mainWindow) {
    // Both events come from inside the engine and carry out-parameters: direct connections.
    connect(m_main.webbrowser1(), &BrowserControl::newWindow2, this,
            &NewWindowPolicy::Webbrowser1NewWindow2, Qt::DirectConnection);
    connect(m_main.Webbrowser2(), &BrowserControl::beforeNavigate2, this,
            &NewWindowPolicy::WebBrowser2BeforeNavigate2, Qt::DirectConnection);
}

void NewWindowPolicy::Webbrowser1NewWindow2(BrowserControl** target, bool*) {
    // Called from inside the engine: nothing may escape into it.
    containStep("new window", [&] {
        if (m_main.settings().opennewfrm == "OldForm")
            *target = m_main.Webbrowser2();
        else
            *target = createPopup()->Webbrowser1();
    });
}

void NewWindowPolicy::WebBrowser2BeforeNavigate2(const QString& url, bool* cancel) {
    *cancel = true;
    // An empty new window would only blank the page the user is watching.
    if (url.isEmpty() || url == QLatin1String("about:blank"))
        return;
    containStep("new window address", [&] { m_main.webbrowser1()->navigate(url); });
}

TForm3* NewWindowPolicy::createPopup() {
    auto* popup = new TForm3(*this); // owned by the main window, or by itself (see TForm3)
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
