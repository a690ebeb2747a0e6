// The global key on Linux: a passive key grab on the X server, through a
// connection of its own; on Wayland sessions the desktop's global-shortcuts
// portal, or where there is none the word that the desktop has to bind it.

#include "platform/GlobalShortcut.h"

#include "platform/linux/PortalShortcut.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QtGlobal>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cctype>
#include <string>

namespace {

bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qgetenv("XDG_SESSION_TYPE").toLower() == QByteArrayLiteral("wayland");
}

// Set while a grab is being made: the server answers a key someone else
// holds with BadAccess.
bool grabRefused = false;
int onGrabError(Display*, XErrorEvent* error)
{
    if (error->error_code == BadAccess)
        grabRefused = true;
    return 0;
}

KeySym keySymFor(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return XK_a + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return XK_0 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Space: return XK_space;
    case Qt::Key_Print: return XK_Print;
    case Qt::Key_Pause: return XK_Pause;
    case Qt::Key_Insert: return XK_Insert;
    case Qt::Key_Delete: return XK_Delete;
    case Qt::Key_Home: return XK_Home;
    case Qt::Key_End: return XK_End;
    case Qt::Key_PageUp: return XK_Prior;
    case Qt::Key_PageDown: return XK_Next;
    case Qt::Key_Left: return XK_Left;
    case Qt::Key_Right: return XK_Right;
    case Qt::Key_Up: return XK_Up;
    case Qt::Key_Down: return XK_Down;
    case Qt::Key_Return: return XK_Return;
    case Qt::Key_Tab: return XK_Tab;
    case Qt::Key_Escape: return XK_Escape;
    default: break;
    }
    // Punctuation and the rest by the name X gives the key.
    const QByteArray name = QKeySequence(key).toString(QKeySequence::PortableText).toLatin1();
    KeySym sym = XStringToKeysym(name.constData());
    if (sym == NoSymbol && name.size() == 1)
        sym = static_cast<KeySym>(static_cast<unsigned char>(name[0]));
    return sym;
}

} // namespace

using State = GlobalShortcut::State;

class X11Backend final : public GlobalShortcut::Backend
{
public:
    explicit X11Backend(GlobalShortcut* owner)
        : owner(owner)
    {
    }
    ~X11Backend() override { close(); }

    State bind(const QKeySequence& keys) override
    {
        release();
        if (keys.isEmpty())
            return State::Off;
        if (waylandSession())
            return bindThroughDesktop(keys);
        if (!open())
            return State::Failed;
        const int combined = keys[0];
        const int key = combined & ~int(Qt::KeyboardModifierMask);
        const KeySym sym = keySymFor(key);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (code == 0)
            return State::Failed;
        unsigned int modifiers = 0;
        if (combined & Qt::ControlModifier)
            modifiers |= ControlMask;
        if (combined & Qt::AltModifier)
            modifiers |= Mod1Mask;
        if (combined & Qt::ShiftModifier)
            modifiers |= ShiftMask;
        if (combined & Qt::MetaModifier)
            modifiers |= Mod4Mask;

        // The key counts with Caps Lock and Num Lock on as well.
        grabRefused = false;
        auto* previous = XSetErrorHandler(&onGrabError);
        const Window root = DefaultRootWindow(display);
        for (unsigned int locks : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)})
            XGrabKey(display, code, modifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
        XSync(display, False);
        XSetErrorHandler(previous);
        grabbedCode = code;
        grabbedModifiers = modifiers;
        if (grabRefused) {
            release();
            return State::TakenByAnother;
        }
        return State::Active;
    }

private:
    State bindThroughDesktop(const QKeySequence& keys)
    {
        if (!desktop) {
            desktop = new PortalShortcut(owner);
            QObject::connect(desktop, &PortalShortcut::activated, owner, &GlobalShortcut::activated);
            QObject::connect(desktop, &PortalShortcut::answered, owner, [this](PortalShortcut::Answer answer) {
                report(owner, answer == PortalShortcut::Answer::Bound     ? State::Active
                              : answer == PortalShortcut::Answer::Refused ? State::Refused
                                                                          : State::NotOffered);
            });
        }
        // The portal's interfaces stay as they are for the session.
        if (!desktop->mayBeOffered())
            return State::NotOffered;
        desktop->bind(keys);
        return State::Asked;
    }

    bool open()
    {
        if (display)
            return true;
        display = XOpenDisplay(nullptr);
        if (!display)
            return false;
        // Held keys repeat as presses alone, so a press that follows no
        // release is a repeat.
        XkbSetDetectableAutoRepeat(display, True, nullptr);
        notifier = new QSocketNotifier(ConnectionNumber(display), QSocketNotifier::Read, owner);
        QObject::connect(notifier, &QSocketNotifier::activated, owner, [this] { readEvents(); });
        return true;
    }

    void close()
    {
        release();
        delete notifier;
        notifier = nullptr;
        if (display)
            XCloseDisplay(display);
        display = nullptr;
    }

    void release()
    {
        if (desktop)
            desktop->release();
        if (!display || !grabbedCode)
            return;
        const Window root = DefaultRootWindow(display);
        for (unsigned int locks : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)})
            XUngrabKey(display, grabbedCode, grabbedModifiers | locks, root);
        XSync(display, False);
        grabbedCode = 0;
        held = false;
    }

    void readEvents()
    {
        while (display && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == KeyPress && event.xkey.keycode == grabbedCode) {
                if (!held)
                    emit owner->activated();
                held = true;
            } else if (event.type == KeyRelease && event.xkey.keycode == grabbedCode) {
                held = false;
            }
        }
    }

    GlobalShortcut* owner;
    PortalShortcut* desktop = nullptr;
    Display* display = nullptr;
    QSocketNotifier* notifier = nullptr;
    KeyCode grabbedCode = 0;
    unsigned int grabbedModifiers = 0;
    bool held = false;
};

GlobalShortcut::Backend* GlobalShortcut::Backend::create(GlobalShortcut* owner)
{
    return new X11Backend(owner);
}
