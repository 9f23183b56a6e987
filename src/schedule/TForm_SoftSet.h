#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TForm_SoftSet;
}

namespace koro {

struct AppSettings;

// The skin files the settings dialog lists: "*.skn" entries in file-system order, of any
// attribute except a directory with no other attribute.
QStringList listSkinEntries(const QString& skinDir);

// What the settings dialog changes beyond the in-memory settings.
struct SoftSetHooks {
    std::function<QByteArray()> searchEngine; // "Baidu", "TaoBao" or empty
    std::function<void(const QByteArray& fileName)> applySkin;
    std::function<void()> applyBuiltInSkin;
    std::function<void(bool baidu)> setSearchEngine; // Baidu, else TaoBao
    std::function<void(bool on)> setAlwaysOnTop;
    std::function<void(bool on)> setMinimizeToTray;
    std::function<void(QWidget* form)> applyLanguage;
    // Opens the timer dialog in shutdown mode.
    std::function<void()> openShutdownDialog;
};

// One settings dialog: filled from the settings when made; OK applies every choice at once,
// Cancel and the close box change nothing. Several may be open; each frees itself on closing.
class TForm_SoftSet : public QWidget {
    Q_OBJECT
public:
    // owner is the main window: the dialog is centred on it and closes with it.
    TForm_SoftSet(AppSettings& settings, QString skinDir, SoftSetHooks hooks, QWidget* owner);
    ~TForm_SoftSet() override;

    void Button1Click();
    void Button2Click();
    void LblPowerOffClick();

    Ui::TForm_SoftSet& ui() { return *m_ui; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TForm_SoftSet> m_ui;
    AppSettings& m_settings;
    QString m_skinDir;
    SoftSetHooks m_hooks;
};

} // namespace koro
