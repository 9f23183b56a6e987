#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace koro {

// The three bars above the page, top to bottom.
struct WindowBars {
    QWidget* top = nullptr;        // Panel7
    QWidget* separator = nullptr;  // Panel2
    QWidget* navigation = nullptr; // Panel3
};

// Hiding, maximising, compact mode and stays-on-top of the main window.
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

private:
    QWidget& m_window;
    WindowBars m_bars;
};

} // namespace koro
