#pragma once

#include <QObject>
#include <QSize>
#include <QString>

class QWidget;

namespace koro {

// The three bars above the page, top to bottom.
struct WindowBars {
    QWidget* top = nullptr;        // Panel7
    QWidget* separator = nullptr;  // Panel2
    QWidget* navigation = nullptr; // Panel3
};

// Hiding, maximising, compact mode and stays-on-top of the main window. The window's maximum
// size bounds what the user drags it to; maximised, it fills the screen's work area whatever
// that size.
class WindowModes : public QObject {
    Q_OBJECT
public:
    WindowModes(QWidget& window, WindowBars bars, QObject* parent = nullptr);

    void ShowMainWindow();
    void HideMainWindow();
    void ToggleMainWindowHidden();
    void ToggleMaximized();
    void ToggleCompactMode();
    void SetAlwaysOnTop(bool on);

    // Compact mode has no flag of its own: the hidden separator line is the mode.
    bool isCompact() const;

    static QString compactSuffix();
    static QString withCompactSuffix(const QString& caption);
    // Every occurrence goes, so a caption that somehow got the suffix twice comes back clean.
    static QString withoutCompactSuffix(QString caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void limitSize(bool maximised);

    QWidget& m_window;
    WindowBars m_bars;
    QSize m_dragLimit;
    // Minimised from maximised: showing it again maximises it.
    bool m_restoreMaximised = false;
};

} // namespace koro
