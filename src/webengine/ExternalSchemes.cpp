#include "webengine/ExternalSchemes.h"

#include "platform/ShellOpen.h"

#include <QMessageBox>
#include <QTimer>
#include <QWebEngineUrlScheme>
#include <QWidget>

namespace koro {

bool engineHandlesScheme(const QString& scheme) {
    static const QStringList builtIn = {"",      "http",       "https",        "file",
                                        "about", "data",       "blob",         "ws",
                                        "wss",   "filesystem", "javascript",   "view-source",
                                        "qrc",   "chrome",     "chrome-error", "devtools"};
    const QString name = scheme.toLower();
    if (builtIn.contains(name))
        return true;
    return !QWebEngineUrlScheme::schemeByName(name.toLatin1()).name().isEmpty();
}

QString externalOpenQuestion(const QUrl& url, const QString& handler) {
    QString address = url.toDisplayString();
    constexpr int longest = 200; // an address can be made long enough to push the buttons away
    if (address.size() > longest)
        address = address.left(longest) + QStringLiteral("…");
    const QString program =
        handler.isEmpty() ? QStringLiteral("另一个程序") : QStringLiteral("“%1”").arg(handler);
    return QStringLiteral("此网页要用%1打开以下地址：\n\n%2\n\n是否允许？").arg(program, address);
}

ExternalOpener::ExternalOpener(ShellOpen& shell, Ask ask, QObject* parent)
    : QObject(parent)
    , m_shell(shell)
    , m_ask(std::move(ask)) {}

void ExternalOpener::request(const QUrl& url, QWidget* from) {
    if (m_asking || !url.isValid() || url.isLocalFile() || engineHandlesScheme(url.scheme()))
        return;
    m_asking = true;
    QPointer<QWidget> origin(from);
    QTimer::singleShot(0, this, [this, url, origin] {
        if (!origin) {
            m_asking = false;
            return;
        }
        ask(url, origin);
    });
}

void ExternalOpener::ask(const QUrl& url, QWidget* from) {
    const QString question = externalOpenQuestion(url, m_shell.handlerName(url.scheme()));
    auto answered = std::make_shared<bool>(false);
    QObject* open = m_ask(from, question, [this, url, answered](bool yes) {
        if (*answered)
            return;
        *answered = true;
        m_asking = false;
        if (yes)
            m_shell.open(url.toString(QUrl::FullyEncoded));
    });
    if (*answered)
        return;
    m_question = open;
    if (!open) {
        m_asking = false;
        return;
    }
    connect(open, &QObject::destroyed, this, [this, answered] {
        if (!*answered)
            m_asking = false;
        *answered = true;
    });
}

QObject* ExternalOpener::askWithMessageBox(QWidget* from, const QString& question,
                                           std::function<void(bool)> answer) {
    QWidget* window = from->window();
    // Owned by the window: closing the window takes the question with it, unanswered.
    auto* box = new QMessageBox(QMessageBox::Question, window->windowTitle(), question,
                                QMessageBox::Yes | QMessageBox::No, window);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)](int) {
        answer(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
    return box;
}

} // namespace koro
