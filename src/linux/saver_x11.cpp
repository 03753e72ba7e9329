#include "linux/saver_x11.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "linux/close_input_x11.h"
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

int64_t NowMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// The logo's whole life in one window.
class XSaver {
public:
    XSaver(Display* display, const ProfileStore& store, SaverPlace place, TargetWindow target)
        : display_(display), store_(store), place_(place), target_(target) {
        LoadKeyNames(names_);
    }

    // Runs until the saver ends.
    int Run();

private:
    void CreateLogoForSize();
    void ShowFirstPicture();
    bool HandleEvent(XEvent& event);  // false: the saver ends
    bool AppliesCloseRules() const { return place_ == SaverPlace::kFullScreen; }

    Display* display_;
    const ProfileStore& store_;
    SaverPlace place_;
    TargetWindow target_;
    ProfileNames names_{};
    std::unique_ptr<SaverSettings> settings_ = std::make_unique<SaverSettings>();
    std::unique_ptr<LogoScene> scene_;
    std::vector<uint32_t> snapshot_;  // empty: none
    std::unique_ptr<WindowPicture> picture_;
    std::unique_ptr<SpanRaster> raster_;
    SaverHostState host_{};
    bool hasFocus_ = false;
};

void XSaver::CreateLogoForSize() {
    scene_ = std::make_unique<LogoScene>();
    CreateLogo(store_, names_, *settings_, *scene_, target_.width, target_.height);
    SeedRandom(*scene_, uint32_t(NowMilliseconds()));
    if (ChooseBackground(*settings_) == Background::kSnapshot && snapshot_.empty())
        snapshot_ = TakeDesktopSnapshot(display_, target_.width, target_.height);
    raster_.reset();
    picture_ = std::make_unique<WindowPicture>(display_, target_.window, target_.visual, target_.depth, target_.width,
                                               target_.height);
    const PixelImage snapshot = snapshot_.empty() ? PixelImage{} : PixelImage{snapshot_.data(), target_.width,
                                                                              target_.height, target_.width};
    raster_ = std::make_unique<SpanRaster>(picture_->Pixels(), snapshot, [this](int32_t x, int32_t y, int32_t w, int32_t h) {
        picture_->Show(x, y, w, h);
    });
}

void XSaver::ShowFirstPicture() {
    const FirstPicture first = ChooseFirstPicture(*settings_);
    if (first == FirstPicture::kUnchanged) return;
    const PixelImage pixels = picture_->Pixels();
    for (int32_t y = 0; y < pixels.height; ++y) {
        uint32_t* row = pixels.Row(y);
        if (first == FirstPicture::kSnapshot) std::copy_n(snapshot_.data() + size_t(y) * pixels.width, pixels.width, row);
        else std::fill_n(row, pixels.width, 0u);
    }
    picture_->ShowAll();
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
                snapshot_.clear();
                CreateLogoForSize();
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
    CreateLogoForSize();
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
    int64_t nextFrame = NowMilliseconds() + settings_->TIMER;
    while (!gStopRequested && !gTargetLost) {
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (!HandleEvent(event)) return 0;
        }
        const int64_t now = NowMilliseconds();
        if (now >= nextFrame) {
            RenderFrame(*scene_, *settings_, *raster_);
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

    std::optional<TargetWindow> target;
    if (request.place == SaverPlace::kEmbedded) {
        const Window window = request.targetWindow ? Window(request.targetWindow) : DefaultRootWindow(display);
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
        XSaver saver(display, store, request.place, *target);
        status = saver.Run();
    }
    if (target->isOwn && !gTargetLost) XDestroyWindow(display, target->window);
    XCloseDisplay(display);
    return status;
}
