#pragma once

#include "webengine/BrowserControl.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QUrl>

class QWebChannel;

namespace koro {

// A page area that loads nothing: it records what it is asked and lets the test fire the
// events a real page would.
class FakeBrowserControl : public BrowserControl {
    Q_OBJECT
public:
    explicit FakeBrowserControl(BrowserRole role, QWidget* parent = nullptr);

    BrowserRole role() const { return m_role; }

    // Options.
    // navigate() then fires beforeNavigate2 at once and, unless cancelled, sets the location
    // and fires documentComplete from the event loop.
    bool autoComplete = false;
    // navigate() throws koro::Error, as a broken engine would.
    bool throwOnNavigate = false;

    // Records.
    QStringList navigations;
    int backCount = 0;
    int forwardCount = 0;
    int refreshCount = 0;
    int stopCount = 0;

    void setLocationName(const QString& name) { m_locationName = name; }
    void setLocationURL(const QString& url) { m_locationURL = url; }

    void navigate(const QString& url) override;
    void goBack() override { ++backCount; }
    void goForward() override { ++forwardCount; }
    void refresh() override { ++refreshCount; }
    void stop() override { ++stopCount; }
    QString locationName() const override { return m_locationName; }
    QString locationURL() const override { return m_locationURL; }
    void setOwnPageChannel(QWebChannel* channel, const QUrl& ownPage) override {
        ownPageChannel = channel;
        m_ownPage = ownPage;
    }
    QWebChannel* ownPageChannel = nullptr;
    QUrl ownPage() const { return m_ownPage; }

    // Test drivers.
    // Returns whether a handler cancelled.
    bool fireBeforeNavigate2(const QString& url);
    // Returns the instance a handler stored as the new window's target (nullptr if none);
    // *cancelled, when given, receives the handler's cancel flag.
    BrowserControl* fireNewWindow2(bool* cancelled = nullptr);
    void fireDocumentComplete(const QString& url) { emit documentComplete(url); }
    void fireCommandStateChange(int command, bool enable) {
        emit commandStateChange(command, enable);
    }
    void fireStatusTextChange(const QString& text) { emit statusTextChange(text); }
    void fireLoadingStopped() { emit loadingStopped(); }
    // Returns whether a handler cancelled.
    bool fireWindowClosing(bool isChildWindow = false);

private:
    BrowserRole m_role;
    QString m_locationName;
    QString m_locationURL;
    QUrl m_ownPage;
};

// Makes FakeBrowserControls and keeps track of them by role.
class FakeBrowserFactory : public BrowserFactory {
public:
    struct Created {
        BrowserRole role;
        QPointer<FakeBrowserControl> control; // null once its parent has deleted it
    };

    // Copied into every control made from now on.
    bool autoComplete = false;
    bool throwOnNavigate = false;

    QList<Created> created;

    BrowserControl* create(BrowserRole role, QWidget* parent) override;

    // The most recently made control of the role that still exists, or nullptr.
    FakeBrowserControl* instance(BrowserRole role) const;
    // All existing controls of the role, oldest first.
    QList<FakeBrowserControl*> instances(BrowserRole role) const;
};

} // namespace koro
