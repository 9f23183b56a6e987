#include "webengine/fake/FakeBrowserControl.h"

#include "config/Error.h"

#include <QTimer>

namespace koro {

FakeBrowserControl::FakeBrowserControl(BrowserRole role, QWidget* parent)
    : BrowserControl(parent)
    , m_role(role) {}

void FakeBrowserControl::navigate(const QString& url) {
    if (throwOnNavigate)
        throw Error("navigation failed: " + url.toStdString());
    navigations.append(url);
    if (!autoComplete)
        return;
    if (fireBeforeNavigate2(url))
        return;
    QTimer::singleShot(0, this, [this, url] {
        m_locationURL = url;
        emit documentComplete(url);
    });
}

bool FakeBrowserControl::fireBeforeNavigate2(const QString& url) {
    bool cancel = false;
    emit beforeNavigate2(url, &cancel);
    return cancel;
}

BrowserControl* FakeBrowserControl::fireNewWindow2(bool* cancelled) {
    BrowserControl* target = nullptr;
    bool cancel = false;
    emit newWindow2(&target, &cancel);
    if (cancelled)
        *cancelled = cancel;
    return target;
}

bool FakeBrowserControl::fireWindowClosing(bool isChildWindow) {
    bool cancel = false;
    emit windowClosing(isChildWindow, &cancel);
    return cancel;
}

BrowserControl* FakeBrowserFactory::create(BrowserRole role, QWidget* parent) {
    auto* control = new FakeBrowserControl(role, parent); // the parent owns it
    control->autoComplete = autoComplete;
    control->throwOnNavigate = throwOnNavigate;
    created.append({role, control});
    return control;
}

FakeBrowserControl* FakeBrowserFactory::instance(BrowserRole role) const {
    for (auto it = created.crbegin(); it != created.crend(); ++it)
        if (it->role == role && it->control)
            return it->control;
    return nullptr;
}

QList<FakeBrowserControl*> FakeBrowserFactory::instances(BrowserRole role) const {
    QList<FakeBrowserControl*> result;
    for (const Created& entry : created)
        if (entry.role == role && entry.control)
            result.append(entry.control);
    return result;
}

} // namespace koro
