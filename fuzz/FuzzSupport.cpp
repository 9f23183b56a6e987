#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace koro::fuzz {

const QString& scratchFolder() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/koro-fuzz-XXXXXX"));
        if (!made->isValid()) {
            std::fprintf(stderr, "cannot create a scratch folder under %s\n", qPrintable(base));
            std::abort();
        }
        return made;
    }();
    static const QString path = dir->path();
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void fail(const char* what, const QByteArray& expected, const QByteArray& actual) {
    std::fprintf(stderr, "PROPERTY BROKEN: %s\n", what);
    if (!expected.isEmpty() || !actual.isEmpty()) {
        std::fprintf(stderr, "expected (%lld bytes): %s\n", static_cast<long long>(expected.size()),
                     expected.toPercentEncoding(" =[];#").constData());
        std::fprintf(stderr, "actual   (%lld bytes): %s\n", static_cast<long long>(actual.size()),
                     actual.toPercentEncoding(" =[];#").constData());
    }
    std::abort();
}

} // namespace koro::fuzz
