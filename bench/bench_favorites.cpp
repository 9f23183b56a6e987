// The favorites menu against its floor: what it costs the start (nothing is read until a menu
// opens), opening every menu of a Favorites tree of 10,000 shortcuts in 500 nested folders, and
// merely listing and reading the same files.
//
//   ./build/bench/koro_bench --benchmark_filter=Favorites --benchmark_repetitions=5
#include "browse/FavoritesMenu.h"
#include "browse/FavoritesScanner.h"
#include "config/ImageList.h"
#include "platform/FavoritesLocation.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Folders = 500;
constexpr int ShortcutsPerFolder = 20;
constexpr int Branching = 5;

class TreeLocation : public koro::FavoritesLocation {
public:
    explicit TreeLocation(QString folder)
        : m_folder(std::move(folder)) {}
    QString folder() const override { return m_folder; }
    void organize() override {}

private:
    QString m_folder;
};

// Folder k (1..500) sits in folder (k - 1) / 5, the root being 0: five levels deep. Every
// folder holds 20 shortcuts, half of them with Chinese names.
class FavoritesTree {
public:
    FavoritesTree() {
        QStringList paths{m_dir.path()};
        for (int k = 1; k <= Folders; ++k) {
            const QString path =
                paths[(k - 1) / Branching] + QStringLiteral("/folder %1 栏目").arg(k);
            QDir().mkpath(path);
            paths.append(path);
            for (int i = 0; i < ShortcutsPerFolder; ++i)
                writeShortcut(path, k * ShortcutsPerFolder + i);
        }
    }
    QString root() const { return m_dir.path(); }

private:
    static void writeShortcut(const QString& folder, int n) {
        const QString name = n % 2 ? QStringLiteral("网络电视频道节目 %1.url").arg(n)
                                   : QStringLiteral("Channel page %1.url").arg(n);
        QFile file(folder + u'/' + name);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("[DEFAULT]\r\nBASEURL=http://127.0.0.1/tv/%1\r\n"
                                  "[InternetShortcut]\r\nURL=http://127.0.0.1/tv/%1\r\n"
                                  "IconIndex=0\r\n")
                       .arg(n)
                       .toLatin1());
    }
    QTemporaryDir m_dir;
};

const FavoritesTree& tree() {
    static const FavoritesTree instance;
    return instance;
}

// Opens menu and every menu below it, as a user walking the whole tree would.
void openAll(QMenu* menu) {
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu())
            openAll(sub);
    }
}

void BM_FavoritesMenu(benchmark::State& state) {
    koro::initImageResources();
    tree();
    TreeLocation location(tree().root());
    koro::ImageList images;
    const bool open = state.range(0) != 0;
    int items = 0;
    for (auto _ : state) {
        auto root = std::make_unique<QMenu>();
        koro::FavoritesMenu menu(root.get(), nullptr, nullptr, nullptr, location, images, nullptr);
        menu.AddFavToMenu(root.get());
        if (open)
            openAll(root.get());
        items = static_cast<int>(root->findChildren<QAction*>().size());
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.counters["actions"] = items;
}
// 0: at start; 1: every menu opened.
BENCHMARK(BM_FavoritesMenu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FavoritesScan(benchmark::State& state) {
    const koro::FavoritesScanner scanner;
    tree();
    for (auto _ : state) {
        koro::FavoriteFolder folder = scanner.ReadFavorit(tree().root());
        benchmark::DoNotOptimize(folder);
    }
}
BENCHMARK(BM_FavoritesScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: list the same tree and read every file, nothing more.
void BM_FavoritesFloor(benchmark::State& state) {
    int files = 0;
    tree();
    for (auto _ : state) {
        files = 0;
        qint64 bytes = 0;
        QDirIterator it(tree().root(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!it.fileInfo().isFile())
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll().size();
            ++files;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_FavoritesFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
