#include "browse/FavoritesScanner.h"

#include "browse/InternetShortcut.h"
#include "config/CodePage.h"
#include "platform/FileAttributes.h"

#include <QDirIterator>
#include <QFileInfo>

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

FavoriteFolder FavoritesScanner::ReadFavorit(const QString& path) const {
    FavoriteFolder root;
    root.name = QFileInfo(path).fileName();
    scanInto(root, path);
    return root;
}

void FavoritesScanner::scanInto(FavoriteFolder& folder, const QString& path) const {
    // Hidden and system entries are listed too: the attribute rule decides about them.
    QDirIterator entries(path,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        const FileAttributes attributes = fileAttributes(info);
        if (attributes.plainDirectory()) {
            if (info.isSymLink())
                continue;
            FavoriteFolder& sub = folder.folders.emplace_back();
            sub.name = info.fileName();
            scanInto(sub, info.filePath());
        } else if (attributes.plainFile()) {
            folder.links.push_back({caption(info.fileName()),
                                    codePagePrefix(readShortcutUrl(info.filePath()), UrlBytes)});
        }
    }
}

} // namespace koro
