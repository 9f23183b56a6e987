#include "browse/FavoritesScanner.h"

#include "browse/InternetShortcut.h"
#include "config/CodePage.h"
#include "platform/FileAttributes.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace koro {

namespace {

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Byte length of the code-page character that starts at bytes[pos]: one byte below 0x81, four
// when the second byte is a digit, two otherwise.
qsizetype characterLength(QByteArrayView bytes, qsizetype pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x81 || lead == 0xFF || pos + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    return (second >= 0x30 && second <= 0x39) ? 4 : 2;
}

// The path with every link resolved; empty when it cannot be resolved.
QByteArray realPath(const QByteArray& path) {
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.constData(), nullptr),
                                                          ::free);
    return resolved ? QByteArray(resolved.get()) : QByteArray();
}

bool isInside(const QByteArray& path, const QByteArray& folder) {
    return !path.isEmpty() && !folder.isEmpty() &&
           path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

} // namespace

QString codePagePrefix(const QByteArray& bytes, int maxBytes) {
    // Plain ASCII is the same in the code page: no converter needed, which keeps the scan fast.
    if (bytes.size() <= maxBytes)
        return isAscii(bytes) ? QString::fromLatin1(bytes) : codepage::toUnicode(bytes);
    qsizetype end = 0;
    while (end < maxBytes) {
        const qsizetype length = characterLength(bytes, end);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    const QByteArray whole = bytes.left(end);
    QString text = isAscii(whole) ? QString::fromLatin1(whole) : codepage::toUnicode(whole);
    if (end < maxBytes)
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

QString codePagePrefix(const QString& text, int maxBytes) {
    // No character takes more than four bytes, so a short text needs no conversion at all.
    if (text.size() * 4 <= maxBytes || (text.size() <= maxBytes && isAscii(text)))
        return text;
    return codePagePrefix(codepage::fromUnicode(text), maxBytes);
}

QString FavoritesScanner::caption(const QString& fileName) {
    QString name = fileName;
    const qsizetype extension = name.indexOf(QLatin1String(".url"), 0, Qt::CaseSensitive);
    if (extension >= 0)
        name.remove(extension, 4);
    return codePagePrefix(name, CaptionBytes);
}

QString FavoritesScanner::displayName(const QByteArray& name) {
    if (isAscii(name))
        return QString::fromLatin1(name);
    // Names copied from Windows keep their code-page bytes, which are rarely valid UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(name);
    return utf8.hasError() ? codepage::toUnicode(name) : text;
}

FavoriteFolder FavoritesScanner::ReadFavorit(const QString& path) const {
    FavoriteFolder root;
    root.name = QFileInfo(path).fileName();
    root.localPath = QFile::encodeName(path);
    scanInto(root, root.localPath, realPath(root.localPath), true);
    return root;
}

FavoriteFolder FavoritesScanner::ReadFolder(const QByteArray& localPath,
                                            const QByteArray& rootPath) const {
    FavoriteFolder folder;
    folder.localPath = localPath;
    scanInto(folder, localPath, realPath(rootPath), false);
    return folder;
}

void FavoritesScanner::scanInto(FavoriteFolder& folder, const QByteArray& path,
                                const QByteArray& rootReal, bool recursive) const {
    // Listed by raw names: a name that is not valid text could not be opened again through a
    // QString.
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(path.constData()), ::closedir);
    if (!listing)
        return;
    const int fd = ::dirfd(listing.get());
    // Hidden and system entries are listed too: the attribute rule decides about them.
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const QByteArray entryPath = path + '/' + name;
        // A link counts only when it leads to a shortcut file inside the folder.
        if (S_ISLNK(status.st_mode) &&
            (!isInside(realPath(entryPath), rootReal) ||
             ::stat(entryPath.constData(), &status) != 0 || !S_ISREG(status.st_mode)))
            continue;
        if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode))
            continue;
        const FileAttributes attributes = fileAttributes(status, name);
        if (attributes.plainDirectory()) {
            FavoriteFolder& sub = folder.folders.emplace_back();
            sub.name = displayName(name);
            sub.localPath = entryPath;
            if (recursive)
                scanInto(sub, entryPath, rootReal, true);
        } else if (attributes.plainFile()) {
            folder.links.push_back(
                {caption(displayName(name)), codePagePrefix(readShortcutUrl(entryPath), UrlBytes)});
        }
    }
}

} // namespace koro
