// The input builds a Favorites tree (folders, shortcut files, links that point inside, outside
// and upwards, pipes); the scan finishes without waiting on any pipe, and never shows what
// lies outside the folder.

#include "FuzzSupport.h"
#include "browse/FavoritesScanner.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using koro::fuzz::check;

constexpr char OutsideUrl[] = "http://outside.invalid/";

QByteArray shortcut(const QByteArray& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

int countLinks(const koro::FavoriteFolder& folder) {
    int links = int(folder.links.size());
    for (const koro::FavoriteFolder& sub : folder.folders)
        links += countLinks(sub);
    return links;
}

void checkNothingFromOutside(const koro::FavoriteFolder& folder) {
    for (const koro::FavoriteLink& link : folder.links)
        check(link.url != QLatin1String(OutsideUrl), "nothing outside the folder is read", {},
              link.caption.toUtf8());
    for (const koro::FavoriteFolder& sub : folder.folders)
        checkNothingFromOutside(sub);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString scratch = koro::fuzz::scratchFolder() + QStringLiteral("/scan");
    QDir(scratch).removeRecursively();
    const QString root = scratch + QStringLiteral("/Favorites");
    QDir().mkpath(root);
    koro::fuzz::writeFile(scratch + QStringLiteral("/outside.url"), shortcut(OutsideUrl));

    QStringList folders{root};
    int files = 0;
    for (int step = 0; step < 24 && input.remaining_bytes() > 0; ++step) {
        const QString parent = folders[input.ConsumeIntegralInRange<int>(0, folders.size() - 1)];
        const QString name =
            QString::number(step) + QString::fromStdString(input.ConsumeRandomLengthString(8))
                                        .remove(u'/')
                                        .remove(QChar(u'\0'));
        const QString path = parent + u'/' + name;
        const QByteArray local = QFile::encodeName(path);
        switch (input.ConsumeIntegralInRange<int>(0, 6)) {
        case 0:
            if (QDir().mkdir(path))
                folders.append(path);
            break;
        case 1:
            koro::fuzz::writeFile(
                path, shortcut(QByteArray::fromStdString(input.ConsumeRandomLengthString(64))));
            ++files;
            break;
        case 2: // out of the folder
            (void)!::symlink(QFile::encodeName(scratch + "/outside.url").constData(),
                             local.constData());
            break;
        case 3: // up, to make the walk endless
            (void)!::symlink(QFile::encodeName(root).constData(), local.constData());
            break;
        case 4:
            (void)!::mkfifo(local.constData(), 0600);
            break;
        case 5: // an entry the folder already has
            (void)!::symlink(QFile::encodeName(folders.last()).constData(), local.constData());
            break;
        default:
            (void)!::symlink("../../outside.url", local.constData());
            break;
        }
    }

    const koro::FavoriteFolder tree = koro::FavoritesScanner().ReadFavorit(root);
    checkNothingFromOutside(tree);
    check(countLinks(tree) <= files + 24, "a bounded tree from a bounded folder");
    const koro::FavoriteFolder top =
        koro::FavoritesScanner().ReadFolder(QFile::encodeName(root), QFile::encodeName(root));
    checkNothingFromOutside(top);
    check(top.folders.size() == tree.folders.size() && top.links.size() == tree.links.size(),
          "one level reads what the whole scan reads at the top");
    return 0;
}
