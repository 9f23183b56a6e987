#include "config/ApplicationTitle.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QVariant>

namespace koro {

namespace {

// Not the display name: Qt would append that to every window caption.
constexpr char TitleProperty[] = "koroApplicationTitle";

} // namespace

QString defaultApplicationTitle(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName().section(u'.', 0, 0);
    return name.left(1) + name.mid(1).toLower();
}

QString applicationTitle() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return {};
    QString title = app->property(TitleProperty).toString();
    if (!title.isEmpty())
        return title;
    return defaultApplicationTitle(QCoreApplication::applicationFilePath());
}

void setApplicationTitle(const QString& title) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty(TitleProperty, title.isEmpty() ? QVariant() : QVariant(title));
}

} // namespace koro
