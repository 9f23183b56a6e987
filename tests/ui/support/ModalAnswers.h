#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace koro::test {

// Hands the next modal window of type T to answer, which must close it; records that it came.
template <typename T> std::shared_ptr<bool> answerNextModal(std::function<void(T*)> answer) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, seen, answer] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window)
            return;
        *seen = true;
        poll->stop();
        poll->deleteLater();
        answer(window);
    });
    poll->start(10);
    return seen;
}

// What a message box said, once it came.
struct BoxAnswer {
    QString title;
    QString text;
    bool seen = false;
};

// Answers the next message box with the given button and remembers what it said.
inline std::shared_ptr<BoxAnswer> answerNextBox(QMessageBox::StandardButton button) {
    auto answer = std::make_shared<BoxAnswer>();
    answerNextModal<QMessageBox>([answer, button](QMessageBox* box) {
        answer->title = box->windowTitle();
        answer->text = box->text();
        answer->seen = true;
        box->button(button)->click();
    });
    return answer;
}

// Removes the answers a test left waiting, so they cannot answer the next test's windows.
inline void dropPendingAnswers() {
    for (QTimer* t : qApp->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
        delete t;
}

} // namespace koro::test
