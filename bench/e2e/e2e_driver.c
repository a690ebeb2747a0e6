/* The X side of the end-to-end benchmark: moves and clicks the real pointer
 * through XTest and watches the screen, reading commands from standard input
 * and answering one line each on standard output.
 *
 *   click X Y               press and release button 1 at (X, Y)
 *   moveto X Y              moves the pointer to (X, Y)
 *   clickpaint X Y MS       click, then wait until the X server has seen
 *                           drawing over most of the screen (XDamage on the
 *                           root window); answers the click and the drawing
 *                           times on the monotonic clock, in ms
 *   strokes N FIRST X0 Y0 X1 Y1
 *                           draws N pen strokes of 20 points, numbers FIRST..,
 *                           each on its own short row of the given area; each
 *                           move waits until its segment shows, so no move is
 *                           merged with the next and every stroke keeps its
 *                           20 points
 *   burst X0 Y X1 MOVES     presses at (X0, Y), moves MOVES times, the last
 *                           move ending at (X1, Y), and answers how long
 *                           after the server had made the last move (its
 *                           raw event reached this client) the pixels at
 *                           (X1, Y) changed, and how long after that move
 *                           was sent (ms); the second also holds the
 *                           server's own time to work through the burst
 *   undo X Y                clicks (X, Y) and answers how long after the
 *                           click the pixels at the last burst's end were
 *                           back as they were before the burst (ms)
 *   quit
 *
 * The screen is polled with XGetImage on a 3 x 3 area. */

#define _GNU_SOURCE /* ppoll */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XInput2.h>

#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define PROBE 3
#define STROKE_POINTS 20
#define STROKE_STEP 3
#define ROW_HEIGHT 3
#define CELL_WIDTH ((STROKE_POINTS - 1) * STROKE_STEP + 3)
#define WAIT_LIMIT_MS 20000.0

static Display* display;
static Window root;
static int damageEvent;
static int xiOpcode = -1;
static uint32_t reference[PROBE * PROBE];
static int referenceX = -1;
static int referenceY = -1;

static double nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

static void readArea(int cx, int cy, uint32_t* out)
{
    XImage* image = XGetImage(display, root, cx - PROBE / 2, cy - PROBE / 2, PROBE, PROBE, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "e2e_driver: XGetImage failed\n");
        exit(2);
    }
    for (int y = 0; y < PROBE; ++y) {
        for (int x = 0; x < PROBE; ++x) {
            out[y * PROBE + x] = (uint32_t)(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
}

static uint32_t readPixel(int x, int y)
{
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "e2e_driver: XGetImage failed\n");
        exit(2);
    }
    const uint32_t value = (uint32_t)(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return value;
}

/* Polls the area until it differs from (changed) or equals (!changed) `than`.
 * Between two polls it sleeps until the server reports drawing anywhere on
 * the screen (DAMAGE) or a quarter of a millisecond has passed: polling
 * without a pause would keep the server and this process busy on both
 * processors, and the program measured would wait for one. */
static double waitArea(int cx, int cy, const uint32_t* than, int changed, double since)
{
    uint32_t now[PROBE * PROBE];
    Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
    const int fd = ConnectionNumber(display);
    double result = -1.0;
    for (;;) {
        readArea(cx, cy, now);
        const double at = nowMs();
        const int same = memcmp(now, than, sizeof now) == 0;
        if (same != changed) {
            result = at - since;
            break;
        }
        if (at - since > WAIT_LIMIT_MS) {
            break;
        }
        if (!XPending(display)) {
            struct pollfd p = { fd, POLLIN, 0 };
            const struct timespec pause = { 0, 250000 };
            ppoll(&p, 1, &pause, NULL);
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }
    XDamageDestroy(display, damage);
    return result;
}

/* Raw motion on the root window reaches this client in the same pass of
 * the server's input processing that sends the move to the window under
 * the pointer. */
static void selectRawMotion(int on)
{
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = { 0 };
    if (on) {
        XISetMask(bits, XI_RawMotion);
    }
    XIEventMask mask = { XIAllDevices, sizeof bits, bits };
    XISelectEvents(display, root, &mask, 1);
}

static void drainEvents(void)
{
    XSync(display, False);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.xcookie.type == GenericEvent) {
            XFreeEventData(display, &event.xcookie);
        }
    }
}

/* Waits for the count-th raw motion since the last drain; answers when it
 * arrived, or -1. */
static double waitRawMotions(int count)
{
    const int fd = ConnectionNumber(display);
    const double start = nowMs();
    int seen = 0;
    while (nowMs() - start < WAIT_LIMIT_MS) {
        if (!XPending(display)) {
            struct pollfd p = { fd, POLLIN, 0 };
            poll(&p, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const double at = nowMs();
        if (event.xcookie.type == GenericEvent && event.xcookie.extension == xiOpcode
            && XGetEventData(display, &event.xcookie)) {
            if (event.xcookie.evtype == XI_RawMotion) {
                ++seen;
            }
            XFreeEventData(display, &event.xcookie);
            if (seen >= count) {
                return at;
            }
        }
    }
    return -1.0;
}

static void moveTo(int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
}

static void button(int down)
{
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
}

static void click(int x, int y)
{
    moveTo(x, y);
    XSync(display, False);
    button(1);
    button(0);
    XFlush(display);
}

static void drainDamage(Damage damage)
{
    XSync(display, False);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
    }
    XDamageSubtract(display, damage, None, None);
}

static void clickPaint(int x, int y, double limitMs)
{
    const int screen = DefaultScreen(display);
    const double full = (double)DisplayWidth(display, screen) * DisplayHeight(display, screen);
    moveTo(x, y);
    Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
    drainDamage(damage);
    button(1);
    button(0);
    XFlush(display);
    const double clicked = nowMs();
    double covered = 0;
    double painted = -1;
    const int fd = ConnectionNumber(display);
    while (painted < 0 && nowMs() - clicked < limitMs) {
        if (!XPending(display)) {
            struct pollfd p = { fd, POLLIN, 0 };
            poll(&p, 1, 50);
            if (!XPending(display)) {
                continue;
            }
        }
        XEvent event;
        XNextEvent(display, &event);
        const double at = nowMs();
        if (event.type == damageEvent + XDamageNotify) {
            const XDamageNotifyEvent* notify = (const XDamageNotifyEvent*)&event;
            covered += (double)notify->area.width * notify->area.height;
            if (covered >= 0.9 * full) {
                painted = at;
            }
        }
    }
    XDamageDestroy(display, damage);
    XSync(display, False);
    if (painted < 0) {
        printf("timeout %.3f\n", clicked);
    } else {
        printf("ok %.3f %.3f\n", clicked, painted);
    }
}

static void strokes(int count, int first, int x0, int y0, int x1, int y1)
{
    const int columns = (x1 - x0) / CELL_WIDTH;
    const int rows = (y1 - y0) / ROW_HEIGHT;
    if (columns < 1 || rows < 1 || first + count > columns * rows) {
        printf("error area holds only %d strokes\n", columns * rows);
        return;
    }
    const double start = nowMs();
    for (int s = first; s < first + count; ++s) {
        const int x = x0 + (s % columns) * CELL_WIDTH;
        const int y = y0 + (s / columns) * ROW_HEIGHT + 1;
        moveTo(x, y);
        XSync(display, False);
        button(1);
        for (int p = 1; p < STROKE_POINTS; ++p) {
            const int px = x + p * STROKE_STEP;
            /* The middle of the new segment was untouched until now. */
            const uint32_t before = readPixel(px - 1, y);
            moveTo(px, y);
            XFlush(display);
            const double sent = nowMs();
            while (readPixel(px - 1, y) == before) {
                if (nowMs() - sent > WAIT_LIMIT_MS) {
                    printf("error stroke %d point %d never showed\n", s, p);
                    button(0);
                    XSync(display, False);
                    return;
                }
            }
        }
        button(0);
        XFlush(display);
    }
    XSync(display, False);
    printf("ok %.1f\n", nowMs() - start);
}

static void burst(int x0, int y, int x1, int moves)
{
    moveTo(x0, y);
    XSync(display, False);
    selectRawMotion(1);
    drainEvents();
    readArea(x1, y, reference);
    referenceX = x1;
    referenceY = y;
    button(1);
    /* Evenly along the row, the last step longer so that only the last
     * segment reaches the probed area. */
    const int approach = x1 - 20;
    for (int i = 1; i < moves; ++i) {
        moveTo(x0 + (approach - x0) * i / (moves - 1), y);
    }
    XFlush(display);
    const double sent = nowMs();
    moveTo(x1, y);
    XFlush(display);
    /* The server queues the moves and works through them at its own pace,
     * each one moving the pointer and its picture: the newest point is made
     * when this client gets the last move's raw event, sent in the same
     * pass as the program's. If the program was quicker than that event's
     * arrival, the first poll sees it. */
    const double moved = waitRawMotions(moves);
    selectRawMotion(0);
    const double lag = moved < 0 ? -1.0 : waitArea(x1, y, reference, 1, moved);
    button(0);
    drainEvents();
    if (lag < 0) {
        printf("timeout\n");
    } else {
        printf("ok %.3f %.3f\n", lag, moved + lag - sent);
    }
}

static void undo(int x, int y)
{
    if (referenceX < 0) {
        printf("error no burst yet\n");
        return;
    }
    click(x, y);
    const double sent = nowMs();
    const double took = waitArea(referenceX, referenceY, reference, 0, sent);
    printf(took < 0 ? "timeout\n" : "ok %.3f\n", took);
}

int main(void)
{
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "e2e_driver: no X display\n");
        return 2;
    }
    root = DefaultRootWindow(display);
    int eventBase, errorBase, major, minor;
    int damageError;
    int xiEvent, xiError, xiMajor = 2, xiMinor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)
        || !XDamageQueryExtension(display, &damageEvent, &damageError)
        || !XQueryExtension(display, "XInputExtension", &xiOpcode, &xiEvent, &xiError)
        || XIQueryVersion(display, &xiMajor, &xiMinor) != Success) {
        fprintf(stderr, "e2e_driver: the X server lacks XTest, DAMAGE or XInput 2\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IOLBF, 0);
    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        int a, b, c, d, e, f;
        double ms;
        if (sscanf(line, "clickpaint %d %d %lf", &a, &b, &ms) == 3) {
            clickPaint(a, b, ms);
        } else if (sscanf(line, "moveto %d %d", &a, &b) == 2) {
            moveTo(a, b);
            XSync(display, False);
            printf("ok\n");
        } else if (sscanf(line, "click %d %d", &a, &b) == 2) {
            click(a, b);
            XSync(display, False);
            printf("ok\n");
        } else if (sscanf(line, "strokes %d %d %d %d %d %d", &a, &b, &c, &d, &e, &f) == 6) {
            strokes(a, b, c, d, e, f);
        } else if (sscanf(line, "burst %d %d %d %d", &a, &b, &c, &d) == 4) {
            burst(a, b, c, d);
        } else if (sscanf(line, "undo %d %d", &a, &b) == 2) {
            undo(a, b);
        } else if (strncmp(line, "quit", 4) == 0) {
            break;
        } else {
            printf("error unknown command\n");
        }
    }
    XCloseDisplay(display);
    return 0;
}
