#include "platform/windows/MessageWindowTaskQueue.h"

#include <windows.h>

namespace platform {

namespace {

const wchar_t kClassName[] = L"UITask_Wnd_Class";
const UINT kTaskMessage = WM_USER + 2;

LRESULT CALLBACK taskWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kTaskMessage) {
        auto* queue = reinterpret_cast<MessageWindowTaskQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (queue)
            queue->runNext();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

std::unique_ptr<UiTaskQueue> UiTaskQueue::createForCurrentThread()
{
    return std::make_unique<MessageWindowTaskQueue>();
}

MessageWindowTaskQueue::MessageWindowTaskQueue()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &taskWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // A second queue of the process finds the class already there.
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, kClassName, L"UITask Dispatch Window", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hwnd = window;
}

MessageWindowTaskQueue::~MessageWindowTaskQueue()
{
    if (hwnd) {
        SetWindowLongPtrW(static_cast<HWND>(hwnd), GWLP_USERDATA, 0);
        DestroyWindow(static_cast<HWND>(hwnd));
    }
    // Fails while another queue's window still uses the class, which is then
    // left to the last one.
    UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
}

void MessageWindowTaskQueue::post(std::unique_ptr<Task> task)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!hwnd)
        return;
    // Kept in the list before the message goes out, in posting order; one
    // message runs one task, so a full message queue loses no order either.
    waiting.push_back(std::move(task));
    if (!PostMessageW(static_cast<HWND>(hwnd), kTaskMessage, 0, 0))
        waiting.pop_back();
}

void MessageWindowTaskQueue::runNext()
{
    std::unique_ptr<Task> task;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (waiting.empty())
            return;
        task = std::move(waiting.front());
        waiting.pop_front();
    }
    // Run outside the lock: the task may post again, or open a modal loop.
    if (task && *task)
        (*task)();
}

} // namespace platform
