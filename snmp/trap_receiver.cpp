#include "snmp/trap_receiver.h"

#include <memory>
#include <string>

#include "settings/trap_settings.h"
#include "snmp/alert_work.h"
#include "snmp/receive_triage.h"
#include "snmp/trap_intake.h"
#include "snmp/trap_socket.h"
#include "win/sent_messages.h"

// How a worker is stopped without harm.
//
// Stop does not wait for a worker to notice its stop event: after a few
// probes it ends the thread with TerminateThread. A thread killed inside the
// allocator or with a queue's mutex held would leave that lock taken for
// good, so each worker runs every unit of work that allocates or locks
// (receiving one datagram, handling one packet or one event) inside its
// StopGate, and Stop holds the gate while it probes and terminates. A
// thread that Stop kills is therefore in a wait, select(), Sleep() or
// blocked on the gate itself. Two moments are not safe to kill and are
// waited for instead, briefly: a thread still starting (loader work) and a
// thread already leaving its loop (thread-exit work); Start makes the
// first one short by waiting until every thread runs its loop.
//
// The receive thread is not killed inside select() either: under Wine a
// thread ended there while datagrams arrive leaves the socket bound in the
// server after the process has gone, so the port stays taken and the next
// start fails. Stop therefore closes the socket first, which ends a select()
// under way, and gives the thread a moment to leave by itself.
//
// Stop runs on the main thread, and a unit of work may wait for the main
// thread: dismissing the screen saver broadcasts WM_SETTINGCHANGE and waits
// for every top-level window, Dovrel's own included. So every wait in Stop
// goes on answering sent messages.

namespace {
constexpr DWORD kStartWaitMs = 5000;   // for a thread to reach its loop
constexpr DWORD kLeaveWaitMs = 2000;   // for a leaving thread to end
constexpr DWORD kTerminateWaitMs = 2000;  // for TerminateThread to take effect
constexpr DWORD kReceiveExitWaitMs = 1500;  // for the woken receive thread to end

DWORD WINAPI ReceiveThreadStart(LPVOID receiver) { return static_cast<CTrapReceiver*>(receiver)->ReceiveLoop(); }
DWORD WINAPI IntakeThreadStart(LPVOID receiver) { return static_cast<CTrapReceiver*>(receiver)->IntakeLoop(); }
DWORD WINAPI AlertThreadStart(LPVOID receiver) { return static_cast<CTrapReceiver*>(receiver)->AlertLoop(); }

bool StillActive(HANDLE thread) {
    DWORD code = 0;
    return GetExitCodeThread(thread, &code) && code == STILL_ACTIVE;
}
}  // namespace

CTrapReceiver::CTrapReceiver() : socket_(new CTrapSocket) {
    for (Worker& worker : workers_) worker.stopEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

CTrapReceiver::~CTrapReceiver() {
    Sleep(kSocketCloseDelayMs);
    socket_->Close();
}

bool CTrapReceiver::Start(const TrapSettings& settings, TrapEventQueue& pending, AlertWork& alertWork) {
    settings_ = &settings;
    pending_ = &pending;
    alertWork_ = &alertWork;
    if (!socket_->Open(settings.port, settings.community)) return false;
    triage_ = std::make_unique<ReceiveTriage>(settings);
    triage_->SetUsmReceiver(usm_);
    socket_->SetTriage(triage_.get());
    StartWorker(receive_, ReceiveThreadStart);
    StartWorker(intake_, IntakeThreadStart);
    StartWorker(alert_, AlertThreadStart);
    for (Worker& worker : workers_) WaitUntilRunning(worker);
    return true;
}

void CTrapReceiver::StartWorker(Worker& worker, LPTHREAD_START_ROUTINE routine) {
    if (worker.thread) return;
    worker.state.store(WorkerState::Starting);
    // A failed creation leaves the slot empty; Stop skips it.
    worker.thread.Reset(CreateThread(nullptr, 0, routine, this, 0, &worker.threadId));
}

void CTrapReceiver::WaitUntilRunning(Worker& worker) {
    if (!worker.thread) return;
    for (DWORD waited = 0; waited < kStartWaitMs && worker.state.load() == WorkerState::Starting; ++waited) {
        if (WaitForSingleObject(worker.thread.Get(), 1) == WAIT_OBJECT_0) break;
    }
}

void CTrapReceiver::Stop() {
    if (receive_.thread) {
        SetEvent(receive_.stopEvent.Get());
        socket_->Close();
        WaitAnsweringSentMessages(receive_.thread.Get(), kReceiveExitWaitMs);
    }
    for (Worker& worker : workers_) StopWorker(worker);
}

void CTrapReceiver::StopWorker(Worker& worker) {
    if (!worker.thread) return;
    SetEvent(worker.stopEvent.Get());
    // A thread that never reached its loop is still in loader work; give it
    // the chance to start, see the event and end by itself.
    if (worker.state.load() == WorkerState::Starting) WaitAnsweringSentMessages(worker.thread.Get(), kStartWaitMs);

    worker.gate.BeginStop(IdleAnsweringSentMessages);  // waits only for the unit of work under way
    for (int probe = 0; probe < kStopProbes; ++probe) {
        if (!StillActive(worker.thread.Get())) break;
        SetEvent(worker.stopEvent.Get());
    }
    if (StillActive(worker.thread.Get()) && worker.state.load() == WorkerState::Leaving)
        WaitAnsweringSentMessages(worker.thread.Get(), kLeaveWaitMs);
    if (StillActive(worker.thread.Get())) {
        TerminateThread(worker.thread.Get(), kForcedExitCode);
        // TerminateThread only requests the end; the gate (and with it the
        // engine) must outlive the thread that may be blocked on it.
        WaitAnsweringSentMessages(worker.thread.Get(), kTerminateWaitMs);
    }
    worker.gate.EndStop();
    worker.thread.Reset();
}

void CTrapReceiver::MarkLeaving(Worker& worker) {
    // Under the gate: either Stop already holds it (and this thread is killed
    // while blocked here) or the thread is marked before Stop looks.
    if (worker.gate.Enter()) {
        worker.state.store(WorkerState::Leaving);
        worker.gate.Leave();
    } else {
        worker.state.store(WorkerState::Leaving);
    }
}

DWORD CTrapReceiver::ReceiveLoop() {
    receive_.state.store(WorkerState::Running);
    for (;;) {
        if (WaitForSingleObject(receive_.stopEvent.Get(), 0) == WAIT_OBJECT_0) break;
        // The timeout is read anew for every turn.
        socket_->ReceiveOnce(settings_->receiveTimeout, receive_.gate, receive_.stopEvent.Get());
    }
    MarkLeaving(receive_);
    return 0;
}

DWORD CTrapReceiver::IntakeLoop() {
    intake_.state.store(WorkerState::Running);
    for (;;) {
        if (WaitForSingleObject(intake_.stopEvent.Get(), kWorkerWaitMs) == WAIT_OBJECT_0) break;
        RunIntakePass(socket_->Queue(), *settings_, *pending_, intake_.gate);
    }
    MarkLeaving(intake_);
    return 0;
}

DWORD CTrapReceiver::AlertLoop() {
    alert_.state.store(WorkerState::Running);
    for (;;) {
        if (WaitForSingleObject(alert_.stopEvent.Get(), kWorkerWaitMs) == WAIT_OBJECT_0) break;
        alertWork_->RunPass(alert_.gate);
    }
    MarkLeaving(alert_);
    return 0;
}
