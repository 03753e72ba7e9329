#include "linux/target_window_x11.h"

#include "linux/window_picture_x11.h"
#include "render/desktop_picture.h"

namespace {

Cursor CreateInvisibleCursor(Display* display, Window window) {
    char noBits[8] = {};
    const Pixmap blank = XCreateBitmapFromData(display, window, noBits, 8, 8);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

}  // namespace

TargetWindow CreateOwnWindow(Display* display, SaverPlace place) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XWindowAttributes rootAttributes;
    XGetWindowAttributes(display, root, &rootAttributes);
    TargetWindow target;
    target.isOwn = true;
    target.visual = DefaultVisual(display, screen);
    target.depth = DefaultDepth(display, screen);
    const bool isFullScreen = place == SaverPlace::kFullScreen;
    // The root window spans every monitor.
    target.width = isFullScreen ? rootAttributes.width : 1280;
    target.height = isFullScreen ? rootAttributes.height : 720;

    XSetWindowAttributes attributes{};
    attributes.override_redirect = isFullScreen;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask | ExposureMask;
    target.window = XCreateWindow(display, root, 0, 0, target.width, target.height, 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, target.window, "KORUNEX");
    if (isFullScreen) {
        XDefineCursor(display, target.window, CreateInvisibleCursor(display, target.window));
    } else {
        Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, target.window, &closeAtom, 1);
    }
    return target;
}

std::optional<TargetWindow> AdoptWindow(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    return TargetWindow{window, attributes.visual, attributes.depth, attributes.width, attributes.height, false};
}

CursorPoint QueryPointer(Display* display, Window window) {
    Window rootReturn, childReturn;
    int rootX = 0, rootY = 0, x, y;
    unsigned int mask;
    XQueryPointer(display, window, &rootReturn, &childReturn, &rootX, &rootY, &x, &y, &mask);
    return {rootX, rootY};
}

std::vector<uint32_t> TakeDesktopSnapshot(Display* display, int32_t width, int32_t height) {
    std::vector<uint32_t> snapshot;
    if (!ReadScreen(display, width, height, snapshot)) PaintDesktopPicture({snapshot.data(), width, height, width});
    return snapshot;
}
