#include "webengine/PageEngineFlags.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <unistd.h>

namespace koro {

bool hasRenderNode(const QString& driFolder) {
    const QStringList nodes =
        QDir(driFolder).entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files);
    for (const QString& node : nodes) {
        const QByteArray path = QDir(driFolder).filePath(node).toLocal8Bit();
        if (::access(path.constData(), R_OK | W_OK) == 0)
            return true;
    }
    return false;
}

bool isSoftwareRenderer(const QByteArray& renderer) {
    const QByteArray name = renderer.toLower();
    return name.isEmpty() || name.contains("llvmpipe") || name.contains("softpipe") ||
           name.contains("swrast") || name.contains("software rasterizer");
}

QByteArray probeGlRenderer() {
    QOpenGLContext context;
    if (!context.create())
        return {};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return {};
    const auto* renderer =
        reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QByteArray result(renderer ? renderer : "");
    context.doneCurrent();
    return result;
}

namespace {

QList<QByteArray> splitFlags(const QByteArray& flags) {
    QList<QByteArray> list = flags.simplified().split(' ');
    list.removeAll(QByteArray());
    return list;
}

bool hasFlag(const QList<QByteArray>& flags, const QByteArray& name) {
    for (const QByteArray& flag : flags) {
        if (flag == name || flag.startsWith(name + '='))
            return true;
    }
    return false;
}

} // namespace

QByteArray sceneGraphBackend(const QByteArray& userBackend, const QByteArray& flags) {
    if (!userBackend.trimmed().isEmpty())
        return {};
    return hasFlag(splitFlags(flags), "--disable-gpu") ? QByteArray("software") : QByteArray();
}

QByteArray pageEngineFlags(const QByteArray& current, bool gpuUsable) {
    QList<QByteArray> flags = splitFlags(current);
    const auto has = [&flags](const QByteArray& name) { return hasFlag(flags, name); };
    if (!gpuUsable && !has("--disable-gpu"))
        flags << "--disable-gpu";
    if (!has("--lang"))
        flags << "--lang=zh-CN";
    return flags.join(' ');
}

} // namespace koro
