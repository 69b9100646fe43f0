#pragma once
// Waits on the main thread that go on answering messages sent to its
// windows from other threads (SendMessage, and broadcasts such as the
// WM_SETTINGCHANGE of SystemParametersInfoA with SPIF_SENDWININICHANGE).
// A sender waits for the answer, so a main thread that waited without
// answering for a thread that sends to it would wait for good.
#include <windows.h>

// Answers the sent messages waiting for this thread; posted messages stay queued.
void AnswerSentMessages();
// Waits up to ms for handle, answering sent messages meanwhile; true when
// the handle was signalled.
bool WaitAnsweringSentMessages(HANDLE handle, DWORD ms);
// Waits up to 1 ms for a sent message and answers what arrived.
void IdleAnsweringSentMessages();
// Waits for handle while this thread's windows go on working (every message
// is dispatched), so that a window waiting for a long job does not turn
// "Not responding". A WM_QUIT met meanwhile is posted again afterwards.
void WaitDispatchingMessages(HANDLE handle);
