#include "platform/linux/LinuxDisplayModes.h"

#include "platform/linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace koro {

namespace {

template <typename T, void (*Free)(T*)> struct XFree {
    void operator()(T* p) const { Free(p); }
};
using Resources =
    std::unique_ptr<XRRScreenResources, XFree<XRRScreenResources, XRRFreeScreenResources>>;
using OutputInfo = std::unique_ptr<XRROutputInfo, XFree<XRROutputInfo, XRRFreeOutputInfo>>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, XFree<XRRCrtcInfo, XRRFreeCrtcInfo>>;

struct Size {
    int width = 0;
    int height = 0;
};

const XRRModeInfo* modeInfo(const XRRScreenResources& resources, RRMode id) {
    for (int i = 0; i < resources.nmode; ++i)
        if (resources.modes[i].id == id)
            return &resources.modes[i];
    return nullptr;
}

double refreshRate(const XRRModeInfo& mode) {
    if (mode.hTotal == 0 || mode.vTotal == 0)
        return 0;
    return double(mode.dotClock) / (double(mode.hTotal) * double(mode.vTotal));
}

bool sideways(Rotation rotation) {
    return rotation & (RR_Rotate_90 | RR_Rotate_270);
}

// The primary output, or the first one that drives a CRTC.
RROutput activeOutput(Display* display, Window root, const XRRScreenResources& resources) {
    const RROutput primary = XRRGetOutputPrimary(display, root);
    if (primary != None)
        return primary;
    for (int i = 0; i < resources.noutput; ++i) {
        OutputInfo info(XRRGetOutputInfo(display, const_cast<XRRScreenResources*>(&resources),
                                         resources.outputs[i]));
        if (info && info->connection == RR_Connected && info->crtc != None)
            return resources.outputs[i];
    }
    return None;
}

// The listed mode of exactly that size, preferring the current refresh rate.
RRMode matchingMode(const XRRScreenResources& resources, const XRROutputInfo& output, int width,
                    int height, double currentRate) {
    RRMode best = None;
    double bestDistance = 0;
    for (int i = 0; i < output.nmode; ++i) {
        const XRRModeInfo* mode = modeInfo(resources, output.modes[i]);
        if (!mode || int(mode->width) != width || int(mode->height) != height)
            continue;
        const double distance = std::abs(refreshRate(*mode) - currentRate);
        if (best == None || distance < bestDistance) {
            best = mode->id;
            bestDistance = distance;
        }
    }
    return best;
}

// The screen must cover every CRTC, the changed one at its new size included.
Size neededScreenSize(Display* display, const XRRScreenResources& resources, RRCrtc changed,
                      const XRRCrtcInfo& changedInfo, Size changedSize) {
    Size needed{int(changedInfo.x) + changedSize.width, int(changedInfo.y) + changedSize.height};
    for (int i = 0; i < resources.ncrtc; ++i) {
        if (resources.crtcs[i] == changed)
            continue;
        CrtcInfo info(XRRGetCrtcInfo(display, const_cast<XRRScreenResources*>(&resources),
                                     resources.crtcs[i]));
        if (!info || info->mode == None)
            continue;
        needed.width = std::max(needed.width, int(info->x + info->width));
        needed.height = std::max(needed.height, int(info->y + info->height));
    }
    return needed;
}

void setScreenSize(Display* display, Window root, Size size) {
    const int screen = DefaultScreen(display);
    // Keep the physical size in step so the DPI stays the same.
    const double mmPerPixelX =
        double(DisplayWidthMM(display, screen)) / DisplayWidth(display, screen);
    const double mmPerPixelY =
        double(DisplayHeightMM(display, screen)) / DisplayHeight(display, screen);
    XRRSetScreenSize(display, root, size.width, size.height,
                     std::max(1, int(std::lround(size.width * mmPerPixelX))),
                     std::max(1, int(std::lround(size.height * mmPerPixelY))));
}

// Xlib's screen record is not updated on resizes it did not see; the root window is.
Size currentScreenSize(Display* display, Window root) {
    Window ignoredRoot = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, root, &ignoredRoot, &x, &y, &width, &height, &border, &depth))
        return {};
    return {int(width), int(height)};
}

} // namespace

namespace {

// The primary output's CRTC as the server has it now.
struct ActiveCrtc {
    Display* display = nullptr;
    Window root = None;
    Resources resources;
    OutputInfo output;
    RRCrtc crtc = None;
    CrtcInfo info;
};

std::optional<ActiveCrtc> activeCrtc() {
    ActiveCrtc a;
    a.display = x11::displayWith(XRRQueryExtension);
    if (!a.display)
        return std::nullopt;
    a.root = DefaultRootWindow(a.display);
    a.resources.reset(XRRGetScreenResourcesCurrent(a.display, a.root));
    if (!a.resources)
        return std::nullopt;
    const RROutput output = activeOutput(a.display, a.root, *a.resources);
    if (output == None)
        return std::nullopt;
    a.output.reset(XRRGetOutputInfo(a.display, a.resources.get(), output));
    if (!a.output || a.output->crtc == None)
        return std::nullopt;
    a.crtc = a.output->crtc;
    a.info.reset(XRRGetCrtcInfo(a.display, a.resources.get(), a.crtc));
    if (!a.info || a.info->mode == None)
        return std::nullopt;
    return a;
}

} // namespace

QSize LinuxDisplayModes::resolution() const {
    const std::optional<ActiveCrtc> a = activeCrtc();
    const XRRModeInfo* mode = a ? modeInfo(*a->resources, a->info->mode) : nullptr;
    return mode ? QSize(int(mode->width), int(mode->height)) : QSize();
}

bool LinuxDisplayModes::setResolution(std::uint16_t width, std::uint16_t height) {
    std::optional<ActiveCrtc> a = activeCrtc();
    if (!a)
        return false;
    Display* display = a->display;
    const Window root = a->root;
    Resources& resources = a->resources;
    const OutputInfo& outputInfo = a->output;
    const RRCrtc crtc = a->crtc;
    const CrtcInfo& crtcInfo = a->info;

    const XRRModeInfo* current = modeInfo(*resources, crtcInfo->mode);
    if (current && int(current->width) == width && int(current->height) == height)
        return true;
    const RRMode mode =
        matchingMode(*resources, *outputInfo, width, height, current ? refreshRate(*current) : 0);
    if (mode == None)
        return false;

    const bool turned = sideways(crtcInfo->rotation);
    const Size crtcSize{turned ? int(height) : int(width), turned ? int(width) : int(height)};
    const Size needed = neededScreenSize(display, *resources, crtc, *crtcInfo, crtcSize);
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    if (!XRRGetScreenSizeRange(display, root, &minWidth, &minHeight, &maxWidth, &maxHeight))
        return false;
    if (needed.width < minWidth || needed.height < minHeight || needed.width > maxWidth ||
        needed.height > maxHeight)
        return false;

    // Grow the screen first if needed, move the CRTC, then shrink to fit: the CRTC is never
    // switched off, so a refusal at any step leaves a working display.
    const Size before = currentScreenSize(display, root);
    const Size grown{std::max(before.width, needed.width), std::max(before.height, needed.height)};
    XGrabServer(display);
    if (grown.width != before.width || grown.height != before.height)
        setScreenSize(display, root, grown);
    const Status status =
        XRRSetCrtcConfig(display, resources.get(), crtc, CurrentTime, crtcInfo->x, crtcInfo->y,
                         mode, crtcInfo->rotation, crtcInfo->outputs, crtcInfo->noutput);
    const bool switched = status == RRSetConfigSuccess;
    const Size finalSize = switched ? needed : before;
    if (finalSize.width != grown.width || finalSize.height != grown.height)
        setScreenSize(display, root, finalSize);
    XUngrabServer(display);
    XSync(display, False);
    if (!switched)
        return false;

    // Trust what the server now reports, not what was asked.
    Resources after(XRRGetScreenResourcesCurrent(display, root));
    if (!after)
        return false;
    CrtcInfo now(XRRGetCrtcInfo(display, after.get(), crtc));
    return now && now->mode == mode;
}

} // namespace koro
