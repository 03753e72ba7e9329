#include "linux/saver_x11.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "host/area_logo.h"
#include "linux/close_input_x11.h"
#include "linux/frame_rate.h"
#include "linux/monitors_x11.h"
#include "linux/target_window_x11.h"
#include "linux/window_picture_x11.h"
#include "render/frame_cycle.h"
#include "render/span_raster.h"

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

// The local time, for the clock.
std::tm LocalNow() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return local;
}

// The part of `image` under `rect` (its left and top within the image), as
// an image of its own; no pixels when they do not meet.
PixelImage PartOf(const PixelImage& image, const ScreenRect& rect) {
    const int32_t width = std::min(rect.width, image.width - rect.left);
    const int32_t height = std::min(rect.height, image.height - rect.top);
    if (!image.pixels || width <= 0 || height <= 0) return {};
    return {image.pixels + rect.top * image.stride + rect.left, width, height, image.stride};
}

// The logos' whole life in one window.
class XSaver {
public:
    XSaver(Display* display, const ProfileStore& store, const SaverRequest& request, TargetWindow target)
        : display_(display), store_(store), place_(request.place), target_(target), dpi_(ReadDesktopDpi(display)),
          showsFrameRate_(request.showsFrameRate) {
        LoadKeyNames(names_);
    }
    ~XSaver() {
        if (textGc_) XFreeGC(display_, textGc_);
    }

    // Runs until the saver ends.
    int Run();

private:
    std::vector<LogoArea> LayOutAreas() const;
    void CreateLogos();
    void FollowScreen();
    // Every logo loads the same settings; the timer and the backgrounds are the first one's.
    const SaverSettings& Settings() const { return logos_.front()->settings; }
    void ShowFirstPicture();
    void ShowFrameRate(int64_t busyUs);
    bool IsScreenChange(XEvent& event) const;
    bool HandleEvent(XEvent& event);  // false: the saver ends
    bool AppliesCloseRules() const { return place_ == SaverPlace::kFullScreen; }

    Display* display_;
    const ProfileStore& store_;
    SaverPlace place_;
    TargetWindow target_;
    int32_t dpi_;  // the desktop's, for every logo
    std::optional<int> screenChangeType_;  // full-screen on a server with RandR: its screen change event
    ProfileNames names_{};
    std::vector<std::unique_ptr<AreaLogo>> logos_;  // one at least, once created
    std::vector<uint32_t> snapshot_;  // empty: none
    int32_t snapshotWidth_ = 0, snapshotHeight_ = 0;
    std::unique_ptr<WindowPicture> picture_;
    // Those of logos_ in turn: each draws into the window's picture and reads
    // the snapshot through its logo's area alone, so the logo stays on its monitor.
    std::vector<std::unique_ptr<SpanRaster>> rasters_;
    SaverHostState host_{};
    bool hasFocus_ = false;
    bool showsFrameRate_;
    FrameRateMeter frameRate_{};
    GC textGc_ = nullptr;  // the frame rate's, made at its first frame
    int textLineHeight_ = 13, textDescent_ = 3;
};

// Full-screen, the logos follow GAMEN over the monitors; anywhere else one
// logo fills the window (XScreenSaver runs a saver of its own on each monitor).
std::vector<LogoArea> XSaver::LayOutAreas() const {
    const uint32_t tickCount = uint32_t(NowMilliseconds());
    // The full-screen window lies at the root window's origin: its pixels are the screen's.
    const ScreenRect window{0, 0, target_.width, target_.height};
    if (place_ != SaverPlace::kFullScreen) return {{window, dpi_, tickCount}};
    const std::vector<Monitor> monitors = ListMonitors(display_, dpi_);
    return LayOutLogos(LoadMonitorMode(store_, names_), window, monitors, tickCount);
}

void XSaver::CreateLogos() {
    rasters_.clear();  // they draw into the picture
    logos_ = CreateAreaLogos(store_, names_, LayOutAreas());
    // The desktop is kept behind the logo or under its after-images; one
    // picture of the whole screen, taken before the first frame, serves every
    // size the window may take later.
    if (Settings().BKMODE == 0 && snapshot_.empty()) {
        XWindowAttributes root;
        XGetWindowAttributes(display_, DefaultRootWindow(display_), &root);
        snapshotWidth_ = std::max(root.width, target_.width);
        snapshotHeight_ = std::max(root.height, target_.height);
        snapshot_ = TakeDesktopSnapshot(display_, snapshotWidth_, snapshotHeight_);
    }
    picture_ = std::make_unique<WindowPicture>(display_, target_.window, target_.visual, target_.depth, target_.width,
                                               target_.height);
    const PixelImage snapshot = snapshot_.empty() ? PixelImage{} : PixelImage{snapshot_.data(), snapshotWidth_,
                                                                              snapshotHeight_, snapshotWidth_};
    for (const auto& logo : logos_) {
        const ScreenRect rect = logo->area.rect;
        auto show = [this, rect](int32_t x, int32_t y, int32_t w, int32_t h) {
            picture_->Show(rect.left + x, rect.top + y, w, h);
        };
        rasters_.push_back(
            std::make_unique<SpanRaster>(PartOf(picture_->Pixels(), rect), PartOf(snapshot, rect), show));
    }
}

// The full-screen window keeps covering the screen, and its logos the monitors.
void XSaver::FollowScreen() {
    XWindowAttributes root;
    if (XGetWindowAttributes(display_, DefaultRootWindow(display_), &root) &&
        (root.width != target_.width || root.height != target_.height)) {
        target_.width = root.width;
        target_.height = root.height;
        XResizeWindow(display_, target_.window, unsigned(root.width), unsigned(root.height));
    }
    CreateLogos();
    ShowFirstPicture();
}

void XSaver::ShowFirstPicture() {
    FirstPicture first = ChooseFirstPicture(Settings());
    // An X window shows its own background, not the desktop behind it: the
    // after-images over the desktop start from its picture.
    if (first == FirstPicture::kUnchanged && !snapshot_.empty()) first = FirstPicture::kSnapshot;
    if (first == FirstPicture::kUnchanged) return;
    const PixelImage pixels = picture_->Pixels();
    for (int32_t y = 0; y < pixels.height; ++y) {
        uint32_t* row = pixels.Row(y);
        std::fill_n(row, pixels.width, 0u);
        // A window larger than the picture shows black beyond it.
        if (first == FirstPicture::kSnapshot && y < snapshotHeight_)
            std::copy_n(snapshot_.data() + size_t(y) * snapshotWidth_, std::min(pixels.width, snapshotWidth_), row);
    }
    picture_->ShowAll();
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
    const FrameRateText text = DescribeFrameRate(frameRate_);
    int baseline = target_.height - 8 - textDescent_ - textLineHeight_;
    for (const std::string& line : {text.framesPerSecond, text.load}) {
        // Padded, so that a shorter text covers a longer one before it.
        const std::string padded = line + std::string(12 - std::min<size_t>(line.size(), 12), ' ');
        XDrawImageString(display_, target_.window, textGc_, 8, baseline, padded.c_str(), int(padded.size()));
        baseline += textLineHeight_;
    }
}

// Only the full-screen saver listens for these.
bool XSaver::IsScreenChange(XEvent& event) const {
    const bool isChange = event.type == screenChangeType_ ||
                          (event.type == ConfigureNotify && place_ == SaverPlace::kFullScreen &&
                           event.xconfigure.window == DefaultRootWindow(display_));
    if (isChange && screenChangeType_) XRRUpdateConfiguration(&event);  // Xlib's idea of the screen size
    return isChange;
}

bool XSaver::HandleEvent(XEvent& event) {
    switch (event.type) {
        case Expose:
            // The picture holds what the window showed last.
            if (event.xexpose.count == 0 && event.xexpose.window == target_.window) picture_->ShowAll();
            return true;
        case DestroyNotify:
            return event.xdestroywindow.window != target_.window;
        case ConfigureNotify:
            if (event.xconfigure.window == target_.window &&
                (event.xconfigure.width != target_.width || event.xconfigure.height != target_.height)) {
                target_.width = event.xconfigure.width;
                target_.height = event.xconfigure.height;
                CreateLogos();
                ShowFirstPicture();
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
    const CloseRuleInput input = TranslateCloseInput(event, hasFocus_);
    hasFocus_ = input.hasFocus;
    if (input.message.message == 0) return true;
    const InputStep step = DecideInputStep(host_, input.message, input.cursor);
    if (step.moveBaseline) host_.cursorBaseline = input.cursor;
    return !step.requestClose;
}

int XSaver::Run() {
    // Asked before the monitors are listed, so that no change in between goes unseen.
    if (place_ == SaverPlace::kFullScreen) screenChangeType_ = SelectScreenChanges(display_);
    CreateLogos();
    if (target_.isOwn) {
        XMapRaised(display_, target_.window);
        XEvent event;
        do XWindowEvent(display_, target_.window, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        if (place_ == SaverPlace::kFullScreen) XSetInputFocus(display_, target_.window, RevertToParent, CurrentTime);
    }
    host_.cursorBaseline = QueryPointer(display_, target_.window);
    ShowFirstPicture();

    const int connection = ConnectionNumber(display_);
    int64_t nextFrame = NowMilliseconds() + Settings().TIMER;
    while (!gStopRequested && !gTargetLost) {
        bool hasScreenChanged = false;
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (IsScreenChange(event)) hasScreenChanged = true;
            else if (!HandleEvent(event)) return 0;
        }
        // A burst of changes is followed once.
        if (hasScreenChanged) FollowScreen();
        const int64_t now = NowMilliseconds();
        if (now >= nextFrame) {
            const int64_t started = NowMicroseconds();
            // Every logo has the clock or none has: the settings are the same.
            const std::tm now = logos_.front()->clock ? LocalNow() : std::tm{};
            for (size_t i = 0; i < logos_.size(); ++i) {
                AreaLogo& logo = *logos_[i];
                ShowTime(logo, now);
                logo.previousBox = RenderFrame(logo.scene, logo.settings, *rasters_[i], logo.previousBox);
            }
            if (showsFrameRate_) ShowFrameRate(NowMicroseconds() - started);
            XFlush(display_);
            // A late frame is not made up for: the next one is a whole period away.
            nextFrame = std::max(nextFrame + Settings().TIMER, NowMilliseconds() + 1);
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

    std::optional<TargetWindow> target;
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
    {
        XSaver saver(display, store, request, *target);
        status = saver.Run();
    }
    if (target->isOwn && !gTargetLost) XDestroyWindow(display, target->window);
    XCloseDisplay(display);
    return status;
}
