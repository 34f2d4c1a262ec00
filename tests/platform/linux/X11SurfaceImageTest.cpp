// The image through which the editor's surface reaches its window, against a
// real X server at whatever depth its screen has: scripts/test.sh runs it on
// a 24-bit and on a 16-bit screen. Where the visual shows the surface's words
// as they are, the window is shown straight from the surface; everywhere else
// the surface's colours are converted, and what the server shows is checked
// against values worked out by hand.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/linux/SharedMemoryBitmap.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11SurfaceImage.h"
#include "raster/SysBitmap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace torvane {

namespace {

// Three colours with different alpha bytes, which only a visual with alpha
// may show (as opaque), and how each visual shows them: in 5-6-5 bits 0x33 of
// 255 is 6.0 of 31, 0x66 is 25.2 of 63 and 0x99 is 18.6 of 31.
struct Colour {
  uint32_t argb;
  unsigned long shown16;
  unsigned long shown24;
};
constexpr Colour kColours[] = {{0x80FF0000, 0xF800, 0xFF0000}, {0x00336699, 0x3333, 0x336699},
                               {0xFF00FF00, 0x07E0, 0x00FF00}};
constexpr int kStripe = 8;

// Vertical stripes of the three colours, the first one `first`.
const Colour& StripeAt(int x, int first) { return kColours[(x / kStripe + first) % 3]; }

void Paint(IRasterBitmap& surface, int first) {
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) RowStart(surface, y)[x] = StripeAt(x, first).argb;
  }
}

unsigned long ShownAt(const Colour& colour, int depth) {
  switch (depth) {
    case 16: return colour.shown16;
    case 24: return colour.shown24;
    case 32: return 0xFF000000 | colour.shown24;
    default: return ~0ul;
  }
}

std::unique_ptr<IRasterBitmap> MakeSurface(bool shared, int width, int height) {
  if (shared) return std::make_unique<SharedMemoryBitmap>(width, height);
  return std::make_unique<SysBitmap>(width, height);
}

// Pixels of the window's top-left width x height that the server shows
// other than expected(x, y) gives.
int Differing(Display* display, Window window, int width, int height, int depth,
              const std::function<const Colour&(int, int)>& expected) {
  XSync(display, False);
  XImage* shown = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
  if (!shown) return width * height;
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) differing += XGetPixel(shown, x, y) != ShownAt(expected(x, y), depth);
  }
  XDestroyImage(shown);
  return differing;
}

}  // namespace

TEST(X11SurfaceImage, ShowsTheSurfacesColoursAndOnlyAVisualWithTheirLayoutStraightFromTheSurface) {
  Display* display = OpenX11Connection();
  ASSERT_NE(display, nullptr) << "needs an X server: scripts/test.sh runs this under Xvfb";
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  XVisualInfo withAlpha = {};
  ASSERT_TRUE(XMatchVisualInfo(display, screen, 32, TrueColor, &withAlpha)) << "the server offers no visual with alpha";
  struct Target {
    Visual* visual;
    int depth;
  };
  for (const Target& target : {Target{DefaultVisual(display, screen), DefaultDepth(display, screen)},
                               Target{withAlpha.visual, 32}}) {
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, target.visual, AllocNone);
    const Window window = XCreateWindow(display, root, 0, 0, 64, 32, 0, target.depth, InputOutput, target.visual,
                                        CWColormap | CWBorderPixel, &attributes);
    XMapWindow(display, window);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    // Xvfb keeps a 24-bit screen in 32 bits per pixel, red highest: the
    // surface's own layout, its alpha byte unseen.
    const bool straight = target.depth == 24;
    for (bool sharedSurface : {true, false}) {
      for (bool trySharedMemory : {true, false}) {
        SCOPED_TRACE(testing::Message() << "depth " << target.depth << ", surface in shared memory " << sharedSurface
                                        << ", shared memory tried " << trySharedMemory);
        X11SurfaceImage image;
        ASSERT_TRUE(image.Configure(display, target.visual, target.depth, trySharedMemory));
        std::unique_ptr<IRasterBitmap> surface = MakeSurface(sharedSurface, 64, 32);
        Paint(*surface, 0);
        image.Put(window, gc, *surface, {0, 0, 64, 32});
        EXPECT_EQ(Differing(display, window, 64, 32, target.depth,
                            [](int x, int) -> const Colour& { return StripeAt(x, 0); }),
                  0);
        EXPECT_EQ(image.ViewsSurface(), straight);
        EXPECT_EQ(image.UsesSharedMemory(), trySharedMemory && (sharedSurface || !straight));

        // A resized editor draws into a new surface, in other memory and here
        // with rows longer than its width: the image follows it.
        surface = MakeSurface(sharedSurface, 50, 16);
        Paint(*surface, 1);
        image.Put(window, gc, *surface, {0, 0, 50, 16});
        EXPECT_EQ(Differing(display, window, 50, 16, target.depth,
                            [](int x, int) -> const Colour& { return StripeAt(x, 1); }),
                  0);
        // Only the area asked for is shown anew.
        Paint(*surface, 2);
        const IBounds area{10, 4, 30, 12};
        image.Put(window, gc, *surface, area);
        EXPECT_EQ(Differing(display, window, 50, 16, target.depth,
                            [&](int x, int y) -> const Colour& {
                              return StripeAt(x, area.Contains(x, y) ? 2 : 1);
                            }),
                  0);
      }
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XFreeColormap(display, attributes.colormap);
  }
  XCloseDisplay(display);
}

}  // namespace torvane
