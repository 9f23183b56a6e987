#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace koro {

// A shortcut file of the Favorites tree, as its menu item shows it.
struct FavoriteLink {
    QString caption;
    QString url; // empty when the file holds no address
};

// A folder of the Favorites tree: its sub-folders and its shortcuts, each in the order the file
// system lists them.
struct FavoriteFolder {
    QString name;
    QByteArray localPath; // the file system's bytes
    std::vector<FavoriteFolder> folders;
    std::vector<FavoriteLink> links;
};

// Reads the Favorites folder into a tree, without any widget, so it can be built anywhere.
// Only plain folders and plain regular files count: a read-only or hidden folder is left out
// with everything in it, and so is a read-only or hidden file, a pipe or a device. A symbolic
// link counts only when it leads to a shortcut file inside the folder, so a link can neither
// make the scan endless nor lead it out of the folder.
class FavoritesScanner {
public:
    static constexpr int CaptionBytes = 36;
    static constexpr int UrlBytes = 400;

    // Scans the folder at path and everything below it; a missing folder gives an empty tree.
    FavoriteFolder ReadFavorit(const QString& path) const;
    // The entries of one folder below rootPath: its sub-folders come without their content.
    FavoriteFolder ReadFolder(const QByteArray& localPath, const QByteArray& rootPath) const;

    // The file name without its first ".url" (that case only), cut to CaptionBytes.
    static QString caption(const QString& fileName);

    // A file name's bytes as text: UTF-8 when they are valid UTF-8, else the code page.
    static QString displayName(const QByteArray& name);

private:
    void scanInto(FavoriteFolder& folder, const QByteArray& path, const QByteArray& rootReal,
                  bool recursive) const;
};

// The first maxBytes bytes of text in the code page, decoded; a character cut in two shows as
// one U+FFFD.
QString codePagePrefix(const QByteArray& bytes, int maxBytes);
QString codePagePrefix(const QString& text, int maxBytes);

} // namespace koro
