// A shortcut written for any caption and address reads back with that address, under a name
// that stays inside the folder.

#include "FuzzSupport.h"
#include "browse/InternetShortcut.h"
#include "config/CodePage.h"
#include "config/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using koro::fuzz::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string rawCaption = input.ConsumeRandomLengthString(400);
    const std::string rawUrl = input.ConsumeRemainingBytesAsString();
    const QString caption = QString::fromUtf8(rawCaption.data(), qsizetype(rawCaption.size()));
    // The page engine never reports an address with a NUL in it, and a profile value ends at
    // one, so the address is any text but that.
    const QString url =
        QString::fromUtf8(rawUrl.data(), qsizetype(rawUrl.size())).remove(QChar(u'\0'));

    const QString folder = koro::fuzz::scratchFolder() + QStringLiteral("/Favorites");
    const QString base = koro::shortcutBaseName(caption);
    QString path;
    try {
        path = koro::writeShortcut(folder, caption, url);
    } catch (const koro::Error& error) {
        check(base.isEmpty(), "a caption with a usable name is saved", {}, error.what());
        return 0;
    }
    check(!base.isEmpty(), "a caption without a usable name is refused", {}, path.toUtf8());

    const QFileInfo written(path);
    check(written.absolutePath() == QDir(folder).absolutePath(), "the shortcut is in the folder",
          folder.toUtf8(), path.toUtf8());
    check(written.fileName().startsWith(base) && written.fileName().endsWith(u".url"),
          "the shortcut is named after its caption", base.toUtf8(), written.fileName().toUtf8());

    // The address reads back as the text the user saved: line breaks become blanks, blanks at
    // either end are not part of a value.
    QString oneLine = url;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray expected = koro::fuzz::trimBlanks(koro::codepage::fromUnicode(oneLine));
    const QByteArray actual = koro::readShortcutUrl(path);
    QFile::remove(path);
    check(actual == expected, "the address reads back", expected, actual);
    return 0;
}
