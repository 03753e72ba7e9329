// A plain window for the saver to draw into, as XScreenSaver would give one,
// or a stand-in for a desktop. Prints its id, then lives until it is killed
// or destroyed.
//
// usage: x11_test_window [--colour RRGGBB] [--size WxH] [--virtual-root]
//   --colour        its background (black by default)
//   --size          400x300 by default, at the top left of the screen
//   --virtual-root  names itself the virtual root window, as some desktops'
//                   background windows do

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    unsigned long colour = 0;
    unsigned int width = 400, height = 300;
    bool isVirtualRoot = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--colour") == 0 && i + 1 < argc) {
            colour = std::strtoul(argv[++i], nullptr, 16);
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%ux%u", &width, &height) != 2) return 2;
        } else if (std::strcmp(argv[i], "--virtual-root") == 0) {
            isVirtualRoot = true;
        } else {
            std::fprintf(stderr, "x11_test_window: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const int screen = DefaultScreen(display);
    // A 24-bit TrueColor screen, as the tests' virtual display has: RRGGBB is the pixel.
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                              BlackPixel(display, screen), colour);
    if (isVirtualRoot) {
        XChangeProperty(display, window, XInternAtom(display, "__SWM_VROOT", False), XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&window), 1);
    }
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            std::printf("0x%lx\n", window);
            std::fflush(stdout);
        }
        if (event.type == DestroyNotify) return 0;
    }
}
