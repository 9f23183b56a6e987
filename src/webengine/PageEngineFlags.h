#pragma once

#include <QByteArray>
#include <QString>

namespace koro {

// Whether driFolder holds a DRI render node this user may open for reading and writing.
bool hasRenderNode(const QString& driFolder);

// Whether the GL renderer string names a software rasteriser, or there is no GL at all (empty).
bool isSoftwareRenderer(const QByteArray& renderer);

// The renderer string of a GL context made for the probe; empty when none can be made. Needs
// the application object.
QByteArray probeGlRenderer();

// The page engine's command-line flags: the current ones kept; the GPU turned off only where
// none is usable (software drawing is then faster and start-up does not stall); the engine's
// own texts (error pages) in Chinese, like the rest of the program.
QByteArray pageEngineFlags(const QByteArray& current, bool gpuUsable);

// The Qt Quick scene graph the page area should draw with: "software" where the engine runs
// without a GPU (flags holds --disable-gpu), since Qt Quick's OpenGL path would then run on a
// software rasteriser for every video frame; empty to leave Qt's choice, and always when the
// user chose a backend (userBackend).
QByteArray sceneGraphBackend(const QByteArray& userBackend, const QByteArray& flags);

} // namespace koro
