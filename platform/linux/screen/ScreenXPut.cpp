// Pictures onto the X server from the presenter's thread. The presenter has an X
// connection of its own and draws straight into the X windows SDL made for the stand-in's
// windows: SDL's video calls (window creation, events, SDL's own drawing) stay on the
// main thread, and the two never share a connection. A picture is converted and enlarged
// into the presenter's own image, put into the window and waited for (XSync), so that
// the X server never holds more than one picture from it, nor reads a shared image (below)
// while the next picture is drawn into it. Where the X server offers it
// (MIT-SHM, a server on the same machine), that image is in memory shared with the server,
// which reads the picture from there instead of through the connection: one copy of the
// enlarged picture less on each side, and less of the caches the program's frame needs.
#include "ScreenPixels.h"
#include "ScreenPresenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace {

enum class Presenting { NotTried, Running, Off };
Presenting State = Presenting::NotTried;

// Opened and closed by the main thread while the presenter is not running; used by the
// presenter's thread alone in between.
Display* Connection = nullptr;
int ImageBitsPerPixel = 0; // of the default depth's images
SDL_Surface* Canvas = nullptr;
// The canvas's image in shared memory, when it is there; whether to try that.
XImage* SharedImage = nullptr;
XShmSegmentInfo Segment{};
bool UseSharedMemory = false;
bool ErrorSeen = false; // an error on the presenter's connection since this was cleared

// Xlib's error handler is one for the whole process. An error on the presenter's
// connection (a window SDL has just replaced, say) costs one picture, not the process;
// errors on SDL's connection go on to the handler that was in place.
XErrorHandler PreviousErrorHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (display == Connection) {
        ErrorSeen = true;
        return 0;
    }
    if (PreviousErrorHandler == nullptr)
        return 0;
    return PreviousErrorHandler(display, error);
}

int BitsPerPixelOfDepth(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth)
            bits = formats[i].bits_per_pixel;
    if (formats != nullptr)
        XFree(formats);
    return bits;
}

// Lets go of the shared image: the server's side of the memory (when it was attached), then
// ours.
void FreeSharedImage(bool attached) {
    if (attached) {
        XShmDetach(Connection, &Segment);
        XSync(Connection, False);
    }
    if (Segment.shmaddr != reinterpret_cast<char*>(-1))
        shmdt(Segment.shmaddr);
    SharedImage->data = nullptr; // the shared memory: not Xlib's to free
    XDestroyImage(SharedImage);
    SharedImage = nullptr;
}

void FreeCanvas() {
    if (Canvas != nullptr)
        SDL_FreeSurface(Canvas);
    Canvas = nullptr;
    if (SharedImage != nullptr)
        FreeSharedImage(true);
}

// A canvas in memory shared with the X server, or NULL (the server then gets no more
// such offers: it is remote, or refused).
SDL_Surface* SharedCanvas(int width, int height, Uint32 format) {
    const int screen = DefaultScreen(Connection);
    SharedImage =
        XShmCreateImage(Connection, DefaultVisual(Connection, screen),
                        static_cast<unsigned>(DefaultDepth(Connection, screen)), ZPixmap, nullptr,
                        &Segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (SharedImage == nullptr)
        return nullptr;
    const size_t bytes = static_cast<size_t>(SharedImage->bytes_per_line) * height;
    Segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    Segment.shmaddr = Segment.shmid >= 0 ? static_cast<char*>(shmat(Segment.shmid, nullptr, 0))
                                         : reinterpret_cast<char*>(-1);
    bool attached = false;
    if (Segment.shmaddr != reinterpret_cast<char*>(-1)) {
        SharedImage->data = Segment.shmaddr;
        Segment.readOnly = True;
        ErrorSeen = false;
        attached = XShmAttach(Connection, &Segment) && (XSync(Connection, False), !ErrorSeen);
    }
    // Gone once both sides have let go of it, also when the process ends abruptly.
    if (Segment.shmid >= 0)
        shmctl(Segment.shmid, IPC_RMID, nullptr);
    SDL_Surface* canvas =
        attached ? SDL_CreateRGBSurfaceWithFormatFrom(Segment.shmaddr, width, height, 0,
                                                      SharedImage->bytes_per_line, format)
                 : nullptr;
    if (canvas == nullptr) {
        FreeSharedImage(attached);
        UseSharedMemory = false;
    }
    return canvas;
}

// The canvas for a picture of this size in this format, made anew when either changed.
SDL_Surface* CanvasFor(int width, int height, Uint32 format) {
    if (Canvas != nullptr &&
        (Canvas->w != width || Canvas->h != height || Canvas->format->format != format))
        FreeCanvas();
    if (Canvas == nullptr && UseSharedMemory)
        Canvas = SharedCanvas(width, height, format);
    if (Canvas == nullptr)
        Canvas = SDL_CreateRGBSurfaceWithFormat(0, width, height, 0, format);
    return Canvas;
}

void PutArea(const PresentedArea& area) {
    const int width = area.width * area.factor, height = area.height * area.factor;
    SDL_Surface* canvas = CanvasFor(width, height, area.windowFormat);
    if (canvas == nullptr || !DrawPixels(area.pixels.data(), area.format, area.width, area.height,
                                         canvas, 0, 0, area.factor))
        return;
    const Window window = area.xWindow;
    GC context = XCreateGC(Connection, window, 0, nullptr);
    if (SharedImage != nullptr) {
        XShmPutImage(Connection, window, context, SharedImage, 0, 0, area.x, area.y,
                     static_cast<unsigned>(width), static_cast<unsigned>(height), False);
        XFreeGC(Connection, context);
        return;
    }
    const int screen = DefaultScreen(Connection);
    XImage* image =
        XCreateImage(Connection, DefaultVisual(Connection, screen),
                     static_cast<unsigned>(DefaultDepth(Connection, screen)), ZPixmap, 0,
                     static_cast<char*>(canvas->pixels), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, canvas->pitch);
    if (image == nullptr) {
        XFreeGC(Connection, context);
        return;
    }
    XPutImage(Connection, window, context, image, 0, 0, area.x, area.y,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(Connection, context);
    image->data = nullptr; // the canvas's pixels: not Xlib's to free
    XDestroyImage(image);
}

void PutFrame(const PresentedFrame& frame) {
    for (size_t i = 0; i < frame.count; ++i) {
        PutArea(frame.areas[i]);
        XSync(Connection, False);
    }
}

void Start() {
    State = Presenting::Off;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return;
    Connection = XOpenDisplay(nullptr);
    if (Connection == nullptr)
        return;
    ImageBitsPerPixel = BitsPerPixelOfDepth(Connection, DefaultDepth(Connection, 0));
    PreviousErrorHandler = XSetErrorHandler(OnXError);
    UseSharedMemory = XShmQueryExtension(Connection) == True;
    if (ImageBitsPerPixel == 0 || !StartPresenter(PutFrame, ReadFrame)) {
        XCloseDisplay(Connection);
        Connection = nullptr;
        return;
    }
    State = Presenting::Running;
}

} // namespace

bool PresentingOnX() {
    if (State == Presenting::NotTried)
        Start();
    return State == Presenting::Running;
}

bool PresentableFormat(Uint32 windowFormat) {
    return !SDL_ISPIXELFORMAT_INDEXED(windowFormat) &&
           static_cast<int>(SDL_BYTESPERPIXEL(windowFormat)) * 8 == ImageBitsPerPixel;
}

void StopPresentingOnX() {
    if (State != Presenting::Running)
        return;
    StopPresenter();
    FreeCanvas();
    XCloseDisplay(Connection);
    Connection = nullptr;
    State = Presenting::Off;
}
