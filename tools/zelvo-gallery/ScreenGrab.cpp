#include "ScreenGrab.h"

// Last: Xlib defines macros (Always, None, Status, ...) that clash with names
// in other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The byte of a pixel's colour channel under `mask`.
unsigned char Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long top = mask >> shift;
    return static_cast<unsigned char>(value * 255u / top);
}

}  // namespace

wxImage ScreenArea(const wxRect& rect) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {};
    XSync(display, False);
    XImage* shot =
        XGetImage(display, DefaultRootWindow(display), rect.x, rect.y, static_cast<unsigned>(rect.width),
                  static_cast<unsigned>(rect.height), AllPlanes, ZPixmap);
    wxImage image;
    if (shot) {
        image.Create(rect.width, rect.height);
        for (int y = 0; y < rect.height; ++y) {
            for (int x = 0; x < rect.width; ++x) {
                const unsigned long pixel = XGetPixel(shot, x, y);
                image.SetRGB(x, y, Channel(pixel, shot->red_mask), Channel(pixel, shot->green_mask),
                             Channel(pixel, shot->blue_mask));
            }
        }
        XDestroyImage(shot);
    }
    XCloseDisplay(display);
    return image;
}
