#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TfrmPS;
}

namespace koro {

// Where the reminder bubble goes: its tail tip on the tray icon when the icon's place is
// known (it may overlap the panel that holds the icon), else at the bottom right of the work
// area; always wholly on the screen.
QRect reminderGeometry(const QRect& trayIcon, const QRect& screen, const QRect& workArea);

// The bubble that asks whether to watch the scheduled channel. "观看", or ten seconds without
// an answer, asks for the channel; every way of closing reports whether to delete the schedule.
class TfrmPS : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize Size{238, 126};
    static constexpr int AutoWatchMs = 10000;

    // Placed from trayIcon (empty when unknown) on the screen that holds it; not yet shown.
    TfrmPS(const QRect& trayIcon, const std::function<void(QWidget*)>& applyLanguage);
    ~TfrmPS() override;

    void setReminder(const QString& text, const QString& channelUrl);
    QString channelUrl() const;

    void ButtonOkClick();
    void ButtonCancelClick();
    void SpeedBtnCloseClick();
    void Timer1Timer();

    Ui::TfrmPS& ui() { return *m_ui; }
    QTimer& Timer1() { return m_timer1; }

signals:
    void watchRequested(const QString& channelUrl);
    void closing(bool deleteSchedule);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmPS> m_ui;
    QTimer m_timer1;
    bool m_closed = false;
};

} // namespace koro
