/* The X side of the end-to-end benchmark: moves and clicks the real pointer
 * through XTest and watches the screen, reading commands from standard input
 * and answering one line each on standard output.
 *
 *   click X Y               press and release button 1 at (X, Y)
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
 *                           move ending at (X1, Y), and answers how long after
 *                           the last move the pixels at (X1, Y) changed (ms)
 *   undo X Y                clicks (X, Y) and answers how long after the
 *                           click the pixels at the last burst's end were
 *                           back as they were before the burst (ms)
 *   quit
 *
 * The screen is polled with XGetImage on a 3 x 3 area. */

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

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

/* Polls the area until it differs from (changed) or equals (!changed) `than`. */
static double waitArea(int cx, int cy, const uint32_t* than, int changed, double since)
{
    uint32_t now[PROBE * PROBE];
    for (;;) {
        readArea(cx, cy, now);
        const double at = nowMs();
        const int same = memcmp(now, than, sizeof now) == 0;
        if (same != changed) {
            return at - since;
        }
        if (at - since > WAIT_LIMIT_MS) {
            return -1.0;
        }
    }
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
    const double lag = waitArea(x1, y, reference, 1, sent);
    button(0);
    XSync(display, False);
    printf(lag < 0 ? "timeout\n" : "ok %.3f\n", lag);
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
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)
        || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "e2e_driver: the X server lacks XTest or DAMAGE\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IOLBF, 0);
    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        int a, b, c, d, e, f;
        double ms;
        if (sscanf(line, "clickpaint %d %d %lf", &a, &b, &ms) == 3) {
            clickPaint(a, b, ms);
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
