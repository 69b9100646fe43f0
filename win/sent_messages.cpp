#include "win/sent_messages.h"

void AnswerSentMessages() {
    MSG message;
    // Any peek delivers the pending sent messages; PM_QS_SENDMESSAGE looks
    // at nothing else, so no posted message is taken from the queue.
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

bool WaitAnsweringSentMessages(HANDLE handle, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed >= ms ? 0 : ms - elapsed;
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;  // timed out or failed
        AnswerSentMessages();
        if (GetTickCount() - start >= ms) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    }
}

void WaitDispatchingMessages(HANDLE handle) {
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                WaitForSingleObject(handle, INFINITE);
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void IdleAnsweringSentMessages() {
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE) == WAIT_OBJECT_0) AnswerSentMessages();
}
