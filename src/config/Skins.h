#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QMenu;

namespace koro {

// The skin files of skinDir ("*.skn", any case) in file-system order; only plain files, so
// read-only and hidden files are left out. Empty when the folder is missing.
QStringList listSkinFiles(const QString& skinDir);

// The menu caption of a skin file: every ".skn" removed (case-sensitive).
QString skinCaption(const QString& fileName);

// Makes the style sheet at path the look of the whole application. A missing or unreadable
// file keeps the current look; returns whether the sheet was applied.
bool applySkinFile(const QString& path);

// Applies skinDir/name unless name is blank, and remembers name (unchanged) in pifu whether or
// not the file exists. Returns whether a sheet was applied.
bool applySkin(const QByteArray& name, QByteArray& pifu, const QString& skinDir);

// The entry of the skin menu and the settings dialog that returns to the built-in look.
QString builtInSkinCaption();
// A blank pifu names no file: the built-in look is in use.
bool isBuiltInSkin(const QByteArray& pifu);
// Drops any skin file's look and empties pifu, so the next start keeps the built-in look.
void applyBuiltInSkin(QByteArray& pifu);

// Fills a menu with the built-in look's item and one item per skin file, and reports the
// choice.
class SkinMenu : public QObject {
    Q_OBJECT
public:
    explicit SkinMenu(QMenu* menu, QObject* parent = nullptr);

    // Appends the built-in look's item and the items of the skin files of skinDir.
    void fill(const QString& skinDir);

signals:
    void skinChosen(const QString& fileName);
    void builtInChosen();

private:
    QPointer<QMenu> m_menu;
};

} // namespace koro
