// The global key on Windows: a hot key registered with the system for this
// thread, whose WM_HOTKEY messages Qt's event dispatcher hands to a native
// event filter.

#include "platform/GlobalShortcut.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

// The virtual-key code of a Qt key; 0 when there is none.
UINT virtualKeyFor(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + static_cast<UINT>(key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + static_cast<UINT>(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Return: return VK_RETURN;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Period: return VK_OEM_PERIOD;
    default: return 0;
    }
}

const int kHotKeyId = 0x5342;

} // namespace

using State = GlobalShortcut::State;

class HotKeyBackend final : public GlobalShortcut::Backend, public QAbstractNativeEventFilter
{
public:
    explicit HotKeyBackend(GlobalShortcut* owner)
        : owner(owner)
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~HotKeyBackend() override
    {
        release();
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    State bind(const QKeySequence& keys) override
    {
        release();
        if (keys.isEmpty())
            return State::Off;
        const int combined = keys[0];
        const UINT key = virtualKeyFor(combined & ~int(Qt::KeyboardModifierMask));
        if (key == 0)
            return State::Failed;
        // The system sends no repeats of a held key.
        UINT modifiers = MOD_NOREPEAT;
        if (combined & Qt::ControlModifier)
            modifiers |= MOD_CONTROL;
        if (combined & Qt::AltModifier)
            modifiers |= MOD_ALT;
        if (combined & Qt::ShiftModifier)
            modifiers |= MOD_SHIFT;
        if (combined & Qt::MetaModifier)
            modifiers |= MOD_WIN;
        if (!RegisterHotKey(nullptr, kHotKeyId, modifiers, key))
            return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? State::TakenByAnother : State::Failed;
        registered = true;
        return State::Active;
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, long*) override
    {
        if (!registered || eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_HOTKEY || msg->hwnd != nullptr || msg->wParam != kHotKeyId)
            return false;
        emit owner->activated();
        return true;
    }

private:
    void release()
    {
        if (registered)
            UnregisterHotKey(nullptr, kHotKeyId);
        registered = false;
    }

    GlobalShortcut* owner;
    bool registered = false;
};

GlobalShortcut::Backend* GlobalShortcut::Backend::create(GlobalShortcut* owner)
{
    return new HotKeyBackend(owner);
}
