#pragma once

#include "schedule/AdFeed.h"

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace koro {

class ShellOpen;
class TDownThrd;

// The one-line ad of the navigation row ("labelad"): fetches the feed once, reads it once, then
// shows its pairs of text and link in turn. Every failure leaves the line as it is, unreported.
// It takes only the room the row leaves it; a text too long for it ends in "…" and the whole
// text joins the link in the tooltip.
class AdLine : public QLabel {
    Q_OBJECT
public:
    // Opens an address in a new popup window.
    using PopupOpener = std::function<void(const QString& url)>;

    // feedFile is read at the first tick of Timer_Readad, which runs from now.
    AdLine(QString feedFile, PopupOpener openPopup, ShellOpen& shell, QWidget* parent = nullptr);
    // A download still running is told to stop, so it cannot outlive the program's objects.
    ~AdLine() override;

    void StartDownload(const QString& url, const QString& fileName);
    void Timer_ReadadTimer();
    void ReadAdFile();
    void gogg();
    void labeladClick();
    void labeladMouseEnter();
    void labeladMouseLeave();

    QTimer& Timer_Readad() { return *m_readad; }
    QTimer& Timer_Showad() { return m_showad; }
    const AdRotation& rotation() const { return m_rotation; }

signals:
    // The download has ended; replaced tells whether the feed file was replaced.
    void downloadFinished(bool replaced);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QFont shownFont() const;
    void updateToolTip();

    QString m_feedFile;
    PopupOpener m_openPopup;
    ShellOpen& m_shell;
    // Destroyed at its first tick, so the read happens once per run.
    QPointer<QTimer> m_readad;
    QTimer m_showad;
    AdRotation m_rotation;
    QString m_link; // of the ad shown
    bool m_hovered = false;
    QPointer<TDownThrd> m_download;
};

} // namespace koro
