// One output's pixels over wlroots' screen-copy protocol, on a Wayland
// connection of the program's own: the protocol described for libwayland,
// the outputs and the shared-memory frame, and the blocking copy itself.

#include "platform/linux/WlrScreenCopy.h"

#include "platform/linux/PortalScreenCapture.h"

#include <QtGlobal>

#include <wayland-client.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// zwlr_screencopy_unstable_v1, the protocol of wlr-protocols (version 3),
// described for libwayland by hand: two interfaces, their requests and
// events, in the protocol's order.
extern const wl_interface screencopyFrameInterface;

const wl_interface* const captureOutputTypes[] = {&screencopyFrameInterface, nullptr, &wl_output_interface};
const wl_interface* const captureRegionTypes[] = {&screencopyFrameInterface, nullptr, &wl_output_interface,
                                                  nullptr, nullptr, nullptr, nullptr};
const wl_interface* const bufferTypes[] = {&wl_buffer_interface};
const wl_interface* const noTypes[] = {nullptr, nullptr, nullptr, nullptr};

const wl_message managerRequests[] = {
    {"capture_output", "nio", const_cast<const wl_interface**>(captureOutputTypes)},
    {"capture_output_region", "nioiiii", const_cast<const wl_interface**>(captureRegionTypes)},
    {"destroy", "", const_cast<const wl_interface**>(noTypes)},
};
const wl_message frameRequests[] = {
    {"copy", "o", const_cast<const wl_interface**>(bufferTypes)},
    {"destroy", "", const_cast<const wl_interface**>(noTypes)},
    {"copy_with_damage", "2o", const_cast<const wl_interface**>(bufferTypes)},
};
const wl_message frameEvents[] = {
    {"buffer", "uuuu", const_cast<const wl_interface**>(noTypes)},
    {"flags", "u", const_cast<const wl_interface**>(noTypes)},
    {"ready", "uuu", const_cast<const wl_interface**>(noTypes)},
    {"failed", "", const_cast<const wl_interface**>(noTypes)},
    {"damage", "2uuuu", const_cast<const wl_interface**>(noTypes)},
    {"linux_dmabuf", "3uuu", const_cast<const wl_interface**>(noTypes)},
    {"buffer_done", "3", const_cast<const wl_interface**>(noTypes)},
};

const wl_interface screencopyManagerInterface = {"zwlr_screencopy_manager_v1", 3, 3, managerRequests, 0, nullptr};
const wl_interface screencopyFrameInterface = {"zwlr_screencopy_frame_v1", 3, 3, frameRequests, 7, frameEvents};

enum ManagerRequest { CaptureOutput = 0, ManagerDestroy = 2 };
enum FrameRequest { Copy = 0, FrameDestroy = 1 };
const uint32_t kYInvert = 1;

// Each step of the compositor's is waited for this long at most.
const int kStepTimeoutMs = 5000;

struct Output {
    wl_output* proxy = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int scale = 1;
    int transform = WL_OUTPUT_TRANSFORM_NORMAL;

    // The output's place in the compositor's layout, which XWayland shares.
    QRect logical() const
    {
        const bool turned = transform % 2 == 1;
        const int w = (turned ? height : width) / qMax(1, scale);
        const int h = (turned ? width : height) / qMax(1, scale);
        return QRect(x, y, w, h);
    }
};

struct Globals {
    wl_shm* shm = nullptr;
    wl_proxy* manager = nullptr;
    std::vector<Output*> outputs;
};

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
                    int32_t transform)
{
    auto* output = static_cast<Output*>(data);
    output->x = x;
    output->y = y;
    output->transform = transform;
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        auto* output = static_cast<Output*>(data);
        output->width = width;
        output->height = height;
    }
}

void outputDone(void*, wl_output*) {}

void outputScale(void* data, wl_output*, int32_t scale)
{
    static_cast<Output*>(data)->scale = scale;
}

void outputText(void*, wl_output*, const char*) {}

// Bound at version 2: the name and description (version 4) never come.
const wl_output_listener outputListener = {outputGeometry, outputMode, outputDone, outputScale, outputText, outputText};

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto* output = new Output;
        output->proxy = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, qMin(version, 2u)));
        wl_output_add_listener(output->proxy, &outputListener, output);
        globals->outputs.push_back(output);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        globals->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, screencopyManagerInterface.name) == 0) {
        // Version 1 is all this needs: a buffer event, then the copy.
        globals->manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &screencopyManagerInterface, 1));
    }
}

void registryRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {registryGlobal, registryRemove};

struct Frame {
    uint32_t format = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    uint32_t flags = 0;
    bool offered = false;
    bool ready = false;
    bool failed = false;
};

void frameBuffer(void* data, wl_proxy*, uint32_t format, uint32_t width, uint32_t height, uint32_t stride)
{
    auto* frame = static_cast<Frame*>(data);
    frame->format = format;
    frame->width = static_cast<int>(width);
    frame->height = static_cast<int>(height);
    frame->stride = static_cast<int>(stride);
    frame->offered = true;
}

void frameFlags(void* data, wl_proxy*, uint32_t flags)
{
    static_cast<Frame*>(data)->flags = flags;
}

void frameReady(void* data, wl_proxy*, uint32_t, uint32_t, uint32_t)
{
    static_cast<Frame*>(data)->ready = true;
}

void frameFailed(void* data, wl_proxy*)
{
    static_cast<Frame*>(data)->failed = true;
}

struct FrameListener {
    void (*buffer)(void*, wl_proxy*, uint32_t, uint32_t, uint32_t, uint32_t);
    void (*flags)(void*, wl_proxy*, uint32_t);
    void (*ready)(void*, wl_proxy*, uint32_t, uint32_t, uint32_t);
    void (*failed)(void*, wl_proxy*);
};

const FrameListener frameListener = {frameBuffer, frameFlags, frameReady, frameFailed};

// Reads and handles the compositor's events until `done` holds, for
// kStepTimeoutMs at most; false when it does not come or the connection breaks.
template <typename Done>
bool dispatchUntil(wl_display* display, Done done)
{
    while (!done()) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) {
                return false;
            }
            if (done()) {
                return true;
            }
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        pollfd ready = {wl_display_get_fd(display), POLLIN, 0};
        const int polled = poll(&ready, 1, kStepTimeoutMs);
        if (polled <= 0) {
            wl_display_cancel_read(display);
            if (polled < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) {
            return false;
        }
    }
    return true;
}

bool roundTrip(wl_display* display)
{
    bool synced = false;
    wl_callback* callback = wl_display_sync(display);
    static const wl_callback_listener listener = {[](void* data, wl_callback*, uint32_t) {
        *static_cast<bool*>(data) = true;
    }};
    wl_callback_add_listener(callback, &listener, &synced);
    const bool ok = dispatchUntil(display, [&] { return synced; });
    wl_callback_destroy(callback);
    return ok;
}

// How QImage reads a 32-bit wl_shm format (the byte order is little-endian).
QImage::Format imageFormat(uint32_t format)
{
    switch (format) {
    case WL_SHM_FORMAT_ARGB8888:
    case WL_SHM_FORMAT_XRGB8888:
        // ARGB32 rather than RGB32, so that the conversion below makes the
        // unused byte opaque.
        return QImage::Format_ARGB32;
    case WL_SHM_FORMAT_ABGR8888:
    case WL_SHM_FORMAT_XBGR8888:
        return QImage::Format_RGBA8888;
    default:
        return QImage::Format_Invalid;
    }
}

// The connection and everything bound on it, let go in order.
struct Connection {
    wl_display* display = wl_display_connect(nullptr);
    wl_registry* registry = nullptr;
    Globals globals;

    ~Connection()
    {
        if (!display) {
            return;
        }
        for (Output* output : globals.outputs) {
            wl_output_destroy(output->proxy);
            delete output;
        }
        if (globals.manager) {
            wl_proxy_marshal(globals.manager, ManagerDestroy);
            wl_proxy_destroy(globals.manager);
        }
        if (globals.shm) {
            wl_shm_destroy(globals.shm);
        }
        if (registry) {
            wl_registry_destroy(registry);
        }
        wl_display_flush(display);
        wl_display_disconnect(display);
    }
};

} // namespace

QImage copyWlrOutput(const QRect& area, qreal ratio, QString* failure, bool* noProtocol)
{
    *noProtocol = false;
    Connection connection;
    if (!connection.display) {
        *noProtocol = true;
        *failure = QStringLiteral("no Wayland connection to the compositor");
        return QImage();
    }
    connection.registry = wl_display_get_registry(connection.display);
    wl_registry_add_listener(connection.registry, &registryListener, &connection.globals);
    // The globals, then the outputs' descriptions.
    if (!roundTrip(connection.display) || !roundTrip(connection.display)) {
        *failure = QStringLiteral("the compositor did not answer");
        return QImage();
    }
    Globals& globals = connection.globals;
    if (!globals.manager || !globals.shm) {
        *noProtocol = true;
        *failure = QStringLiteral("the compositor offers no screen copy");
        return QImage();
    }
    const Output* output = nullptr;
    for (const Output* candidate : globals.outputs) {
        if (candidate->logical().contains(area.center())) {
            output = candidate;
        }
    }
    if (!output) {
        *failure = QStringLiteral("no output of the compositor's holds the screen");
        return QImage();
    }

    // The pointer drawn in, as on X11.
    auto* proxy = wl_proxy_marshal_constructor(globals.manager, CaptureOutput, &screencopyFrameInterface, nullptr, 1,
                                               output->proxy);
    Frame frame;
    wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<FrameListener*>(&frameListener)),
                          &frame);
    QImage picture;
    if (!dispatchUntil(connection.display, [&] { return frame.offered || frame.failed; }) || frame.failed) {
        *failure = QStringLiteral("the compositor offered no picture");
    } else if (imageFormat(frame.format) == QImage::Format_Invalid || frame.width <= 0 || frame.height <= 0
               || frame.stride < frame.width * 4) {
        *failure = QStringLiteral("the compositor's picture comes in a form not understood (%1)").arg(frame.format);
    } else {
        const size_t bytes = static_cast<size_t>(frame.stride) * static_cast<size_t>(frame.height);
        const int memory = memfd_create("scribbloom-screen", MFD_CLOEXEC);
        void* mapped = MAP_FAILED;
        if (memory >= 0 && ftruncate(memory, static_cast<off_t>(bytes)) == 0) {
            mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory, 0);
        }
        if (mapped == MAP_FAILED) {
            *failure = QStringLiteral("no shared memory for the picture (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
        } else {
            wl_shm_pool* pool = wl_shm_create_pool(globals.shm, memory, static_cast<int32_t>(bytes));
            wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, frame.width, frame.height, frame.stride, frame.format);
            wl_shm_pool_destroy(pool);
            wl_proxy_marshal(proxy, Copy, buffer);
            if (!dispatchUntil(connection.display, [&] { return frame.ready || frame.failed; }) || frame.failed) {
                *failure = QStringLiteral("the compositor could not copy the screen");
            } else {
                const QImage shared(static_cast<const uchar*>(mapped), frame.width, frame.height, frame.stride,
                                    imageFormat(frame.format));
                const QImage upright = (frame.flags & kYInvert) ? shared.mirrored(false, true) : shared;
                // Cut and converted (opaque), off the shared memory.
                const QRect place = output->logical();
                picture = PortalScreenCapture::cutOut(upright, QRect(place.topLeft(), place.size() * ratio),
                                                      QRect(area.topLeft(), area.size() * ratio));
                if (picture.isNull()) {
                    *failure = QStringLiteral("the output's picture does not show the screen");
                }
            }
            wl_buffer_destroy(buffer);
            munmap(mapped, bytes);
        }
        if (memory >= 0) {
            close(memory);
        }
    }
    wl_proxy_marshal(proxy, FrameDestroy);
    wl_proxy_destroy(proxy);
    return picture;
}
