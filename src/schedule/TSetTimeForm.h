#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TSetTimeForm;
}

namespace koro {

// The small "hour and minute" dialog. OK's hint picks what it is for: "SeeTvTime" schedules a
// viewing, anything else sets the power-off time. Modeless, on top, freed when closed.
class TSetTimeForm : public QWidget {
    Q_OBJECT
public:
    static constexpr char ViewingHint[] = "SeeTvTime";
    static constexpr char PowerHint[] = "Power";
    static constexpr char HintProperty[] = "hint";

    // applyLanguage translates the new dialog; centreOn, when given, is the window it is
    // centred on (it does not own the dialog).
    explicit TSetTimeForm(const std::function<void(QWidget*)>& applyLanguage,
                          const QWidget* centreOn = nullptr);
    ~TSetTimeForm() override;

    void setViewingMode(const QString& channelName, const QString& channelUrl);
    // Fields show powerOffTime when it reads as a time of day, "12" and "12" otherwise; while
    // a time is armed the dialog offers to cancel it.
    void setShutdownMode(const QByteArray& powerOffTime, bool armed = false);

    // Shows "输入有误" and answers false unless hour <= 23 and minute <= 59.
    bool CheckTime(int hour, int minute);
    void ButtonokClick();
    void ButtonexitClick();

    QString channelName() const { return m_channelName; }
    Ui::TSetTimeForm& ui() { return *m_ui; }

    static bool acceptsKey(const QString& typed);

signals:
    // Handled before the dialog closes. The handler answers false when it could not keep the
    // time; the dialog then stays open.
    void viewingTimeChosen(const QString& channelName, const QString& channelUrl,
                           const QByteArray& time, bool* kept);
    void powerOffTimeChosen(const QByteArray& time);
    void powerOffCancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TSetTimeForm> m_ui;
    QString m_channelName;
};

} // namespace koro
