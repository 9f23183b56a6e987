#pragma once

#include "webengine/BrowserControl.h"

#include <QMovie>
#include <QUrl>
#include <memory>

namespace koro {

// The loading indicator's page area. It only ever shows the program's own loading page (a
// local page whose body has an animated background picture), so it draws that page itself
// instead of starting a page-engine process of its own: that process would cost as much memory
// as the main page area and keep a core busy animating while hidden.
class LoadingPageView : public BrowserControl {
    Q_OBJECT
public:
    explicit LoadingPageView(QWidget* parent = nullptr);
    ~LoadingPageView() override;

    // Local files and "about:blank"; anything else throws koro::Error.
    void navigate(const QString& url) override;
    void goBack() override {}
    void goForward() override {}
    void refresh() override;
    void stop() override;
    QString locationName() const override { return m_title; }
    QString locationURL() const override { return m_url.toString(); }

    // The picture the page shows, as a local path; empty when it has none.
    static QString backgroundOf(const QByteArray& html, const QString& pageFolder);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void load(const QUrl& url);

    QUrl m_url;
    QString m_title;
    std::unique_ptr<QMovie> m_movie;
};

} // namespace koro
