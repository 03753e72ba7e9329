#include "linux/saver_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <poll.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "host/close_rules.h"
#include "linux/desktop_picture.h"
#include "linux/frame_rate.h"
#include "render/cairo_raster.h"
#include "render/frame_cycle.h"

namespace {

volatile std::sig_atomic_t gStopRequested = 0;
bool gTargetLost = false;

void RequestStop(int) { gStopRequested = 1; }

// The window we draw into can vanish under us (another program owns it):
// that ends the saver instead of the process.
int NoteLostWindow(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) gTargetLost = true;
    return 0;
}

int64_t NowMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

int64_t NowMilliseconds() { return NowMicroseconds() / 1000; }

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The desktop as it looks now, width x height from its top left corner; our
// own picture when the screen cannot be read.
Surface TakeDesktopSnapshot(Display* display, int32_t width, int32_t height) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    Surface rootSurface(cairo_xlib_surface_create(display, root, attributes.visual, attributes.width, attributes.height));
    Surface snapshot(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    cairo_t* cr = cairo_create(snapshot.get());
    cairo_set_source_surface(cr, rootSurface.get(), 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(snapshot.get());
    if (cairo_surface_status(snapshot.get()) != CAIRO_STATUS_SUCCESS) snapshot.reset(CreateDesktopPicture(width, height));
    return snapshot;
}

Cursor InvisibleCursor(Display* display, Window window) {
    static char noBits[8] = {};
    const Pixmap blank = XCreateBitmapFromData(display, window, noBits, 8, 8);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

// The window the saver draws into, and what it knows of it.
struct Target {
    Window window = 0;
    Visual* visual = nullptr;
    int32_t width = 0, height = 0;
    bool isOwn = false;
};

Target CreateOwnWindow(Display* display, SaverPlace place) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XWindowAttributes rootAttributes;
    XGetWindowAttributes(display, root, &rootAttributes);
    Target target;
    target.isOwn = true;
    target.visual = DefaultVisual(display, screen);
    const bool fullScreen = place == SaverPlace::kFullScreen;
    // The root window spans every monitor.
    target.width = fullScreen ? rootAttributes.width : 1280;
    target.height = fullScreen ? rootAttributes.height : 720;

    XSetWindowAttributes attributes{};
    attributes.override_redirect = fullScreen;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask | ExposureMask;
    target.window = XCreateWindow(display, root, 0, 0, target.width, target.height, 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, target.window, "KORUNEX");
    if (fullScreen) {
        XDefineCursor(display, target.window, InvisibleCursor(display, target.window));
    } else {
        Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, target.window, &closeAtom, 1);
    }
    return target;
}

// Desktops that draw their background in a window of their own name it in
// __SWM_VROOT on a child of the root: drawing on the root means drawing there.
Window VirtualRoot(Display* display) {
    const Window root = DefaultRootWindow(display);
    const Atom property = XInternAtom(display, "__SWM_VROOT", False);
    Window rootReturn, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = root;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return root;
    for (unsigned int i = 0; i < count && found == root; ++i) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], property, 0, 1, False, XA_WINDOW, &type, &format, &items,
                               &after, &data) == Success && data) {
            if (type == XA_WINDOW && format == 32 && items == 1) found = *reinterpret_cast<Window*>(data);
            XFree(data);
        }
    }
    if (children) XFree(children);
    return found;
}

std::optional<Target> AdoptWindow(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    return Target{window, attributes.visual, attributes.width, attributes.height, false};
}

// The logo's whole life in one window.
class XSaver {
public:
    XSaver(Display* display, const ProfileStore& store, const SaverRequest& request, Target target)
        : display_(display), store_(store), place_(request.place), target_(target),
          showsFrameRate_(request.showsFrameRate) {}
    ~XSaver() {
        if (textGc_) XFreeGC(display_, textGc_);
    }

    // Runs until the saver ends; `device` receives a reference to cairo's
    // device for the display, to be finished once the surfaces are gone.
    int Run(cairo_device_t** device);

private:
    void CreateLogoForSize();
    void ShowBackground();
    void ShowFrameRate(int64_t busyUs);
    bool HandleEvent(XEvent& event);  // false: the saver ends
    bool AppliesCloseRules() const { return place_ == SaverPlace::kFullScreen; }
    CursorPoint PointerPosition() const;

    Display* display_;
    const ProfileStore& store_;
    SaverPlace place_;
    Target target_;
    ProfileNames names_{};
    std::unique_ptr<SaverSettings> settings_ = std::make_unique<SaverSettings>();
    std::unique_ptr<LogoScene> scene_;
    Surface window_, snapshot_;
    std::unique_ptr<CairoRaster> raster_;
    SaverHostState host_{};
    bool hasFocus_ = false;
    bool showsFrameRate_;
    FrameRateMeter frameRate_{};
    GC textGc_ = nullptr;  // the frame rate's, made at its first frame
    int textLineHeight_ = 13, textDescent_ = 3;
};

CursorPoint XSaver::PointerPosition() const {
    Window rootReturn, childReturn;
    int rootX = 0, rootY = 0, x, y;
    unsigned int mask;
    XQueryPointer(display_, target_.window, &rootReturn, &childReturn, &rootX, &rootY, &x, &y, &mask);
    return {rootX, rootY};
}

void XSaver::CreateLogoForSize() {
    scene_ = std::make_unique<LogoScene>();
    CreateLogo(store_, names_, *settings_, *scene_, target_.width, target_.height);
    SeedRandom(*scene_, uint32_t(NowMilliseconds()));
    // The desktop is kept behind the logo or under its after-images; one
    // picture of the whole screen, taken before the first frame, serves every
    // size the window may take later.
    if (settings_->BKMODE == 0 && !snapshot_) {
        XWindowAttributes root;
        XGetWindowAttributes(display_, DefaultRootWindow(display_), &root);
        snapshot_ = TakeDesktopSnapshot(display_, std::max(root.width, target_.width),
                                        std::max(root.height, target_.height));
    }
    window_.reset(cairo_xlib_surface_create(display_, target_.window, target_.visual, target_.width, target_.height));
    raster_ = std::make_unique<CairoRaster>(window_.get(), target_.width, target_.height, snapshot_.get());
}

// What the window shows before the first frame: black, or the desktop
// snapshot, or (for after-images over the desktop) what is already there.
void XSaver::ShowBackground() {
    if (settings_->BKMODE == 1 || snapshot_) {
        cairo_t* cr = cairo_create(window_.get());
        snapshot_ ? cairo_set_source_surface(cr, snapshot_.get(), 0, 0) : cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(window_.get());
    }
}

// Two lines, white on black, in the lower left corner, drawn after each frame
// so that the logo passing by never hides them.
void XSaver::ShowFrameRate(int64_t busyUs) {
    CountFrame(frameRate_, NowMicroseconds(), busyUs);
    if (!textGc_) {
        textGc_ = XCreateGC(display_, target_.window, 0, nullptr);
        XSetForeground(display_, textGc_, WhitePixel(display_, DefaultScreen(display_)));
        XSetBackground(display_, textGc_, BlackPixel(display_, DefaultScreen(display_)));
        if (XFontStruct* font = XQueryFont(display_, XGContextFromGC(textGc_))) {
            textLineHeight_ = font->ascent + font->descent;
            textDescent_ = font->descent;
            XFreeFontInfo(nullptr, font, 1);
        }
    }
    cairo_surface_flush(window_.get());
    const FrameRateText text = DescribeFrameRate(frameRate_);
    int baseline = target_.height - 8 - textDescent_ - textLineHeight_;
    for (const std::string& line : {text.framesPerSecond, text.load}) {
        // Padded, so that a shorter text covers a longer one before it.
        const std::string padded = line + std::string(12 - std::min<size_t>(line.size(), 12), ' ');
        XDrawImageString(display_, target_.window, textGc_, 8, baseline, padded.c_str(), int(padded.size()));
        baseline += textLineHeight_;
    }
}

bool XSaver::HandleEvent(XEvent& event) {
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0 && event.xexpose.window == target_.window) ShowBackground();
            return true;
        case DestroyNotify:
            return event.xdestroywindow.window != target_.window;
        case ConfigureNotify:
            if (event.xconfigure.window == target_.window &&
                (event.xconfigure.width != target_.width || event.xconfigure.height != target_.height)) {
                target_.width = event.xconfigure.width;
                target_.height = event.xconfigure.height;
                CreateLogoForSize();
                ShowBackground();
            }
            return true;
        case ClientMessage:
            return place_ != SaverPlace::kWindow;  // the window manager's close
        case KeyPress:
            if (place_ == SaverPlace::kWindow) {
                const KeySym key = XLookupKeysym(&event.xkey, 0);
                return key != XK_q && key != XK_Escape;
            }
            break;
        default:
            break;
    }
    if (!AppliesCloseRules()) return true;

    // Input in full-screen: the Windows saver's close rules, X events standing in for its messages.
    WindowMessage message{0, 0, 0};
    switch (event.type) {
        case KeyPress: message.message = msg::kKeyDown; break;
        case ButtonPress:
            if (event.xbutton.button == Button1) message.message = msg::kLButtonDown;
            else if (event.xbutton.button == Button2) message.message = msg::kMButtonDown;
            else if (event.xbutton.button == Button3) message.message = msg::kRButtonDown;
            break;  // the wheel and extra buttons do not end a saver
        case MotionNotify: message.message = msg::kMouseMove; break;
        case FocusIn:
            hasFocus_ |= event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyPointer;
            break;
        case FocusOut:
            // Only a focus we really had, handed to another window, counts as
            // another program becoming active; pointer-root focus shifts do not.
            if (hasFocus_ && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
                event.xfocus.detail != NotifyPointer && event.xfocus.detail != NotifyPointerRoot &&
                event.xfocus.detail != NotifyDetailNone)
                message.message = msg::kActivateApp;  // wParam 0: another program is active
            break;
        default: return true;
    }
    if (message.message == 0) return true;
    const CursorPoint cursor =
        event.type == MotionNotify ? CursorPoint{event.xmotion.x_root, event.xmotion.y_root} : CursorPoint{};
    const InputStep step = DecideInputStep(host_, message, cursor);
    if (step.moveBaseline) host_.cursorBaseline = cursor;
    return !step.requestClose;
}

int XSaver::Run(cairo_device_t** device) {
    CreateLogoForSize();
    *device = cairo_device_reference(cairo_surface_get_device(window_.get()));
    if (target_.isOwn) {
        XMapRaised(display_, target_.window);
        XEvent event;
        do XWindowEvent(display_, target_.window, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        if (place_ == SaverPlace::kFullScreen) XSetInputFocus(display_, target_.window, RevertToParent, CurrentTime);
    }
    host_.cursorBaseline = PointerPosition();
    ShowBackground();

    const int connection = ConnectionNumber(display_);
    int64_t nextFrame = NowMilliseconds() + settings_->TIMER;
    while (!gStopRequested && !gTargetLost) {
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (!HandleEvent(event)) return 0;
        }
        const int64_t now = NowMilliseconds();
        if (now >= nextFrame) {
            const int64_t started = NowMicroseconds();
            RenderFrame(*scene_, *settings_, *raster_);
            if (showsFrameRate_) ShowFrameRate(NowMicroseconds() - started);
            XFlush(display_);
            // A late frame is not made up for: the next one is a whole period away.
            nextFrame = std::max(nextFrame + settings_->TIMER, NowMilliseconds() + 1);
            continue;
        }
        pollfd wait{connection, POLLIN, 0};
        poll(&wait, 1, int(nextFrame - now));
    }
    return 0;
}

}  // namespace

int RunSaverOnX11(const ProfileStore& store, const SaverRequest& request) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "korunex: cannot open the X display (DISPLAY=%s); "
                             "korunex render draws frames without one\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return 1;
    }
    XSetErrorHandler(NoteLostWindow);
    struct sigaction stop{};
    stop.sa_handler = RequestStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);

    std::optional<Target> target;
    if (request.place == SaverPlace::kEmbedded) {
        const Window window = request.targetWindow ? Window(request.targetWindow) : VirtualRoot(display);
        target = AdoptWindow(display, window);
        if (!target) {
            std::fprintf(stderr, "korunex: no window 0x%lx on this display\n", static_cast<unsigned long>(window));
            XCloseDisplay(display);
            return 1;
        }
    } else {
        target = CreateOwnWindow(display, request.place);
    }
    int status;
    cairo_device_t* device = nullptr;
    {
        XSaver saver(display, store, request, *target);
        status = saver.Run(&device);
    }
    // cairo keeps per-display buffers until its device is finished.
    if (device) {
        cairo_device_finish(device);
        cairo_device_destroy(device);
    }
    if (target->isOwn && !gTargetLost) XDestroyWindow(display, target->window);
    XCloseDisplay(display);
    return status;
}
