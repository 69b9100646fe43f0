#pragma once
// The receiver engine: the trap socket and its three worker threads
// (receive, intake, alert), each with a stop event and a stop gate.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/stop_gate.h"
#include "win/handles.h"
#include "snmp/trap_records.h"

class AlertWork;
class CTrapSocket;
class ReceiveTriage;
class UsmReceiver;
struct TrapSettings;

constexpr DWORD kWorkerWaitMs = 5000;      // intake and alert threads' period
constexpr DWORD kSocketCloseDelayMs = 200;  // pause before the socket is closed
constexpr DWORD kForcedExitCode = 259;      // STILL_ACTIVE
constexpr int kStopProbes = 3;

class CTrapReceiver {
public:
    CTrapReceiver();
    // Closes the socket, then (through their owners) the events, the thread
    // handles and the socket object with its queue. Does not stop threads:
    // Stop comes first.
    virtual ~CTrapReceiver();
    CTrapReceiver(const CTrapReceiver&) = delete;
    CTrapReceiver& operator=(const CTrapReceiver&) = delete;

    // Opens the socket with the settings' port and community and starts the
    // three threads: receive (with the settings' timeout), intake (into
    // pending) and alert (running alertWork). False (no thread started) when
    // the socket cannot be opened. All three must outlive the threads.
    bool Start(const TrapSettings& settings, TrapEventQueue& pending, AlertWork& alertWork);
    // SNMPv3 messages go to usm on the receive thread (set before Start; it
    // must outlive the threads); without one they are refused as undecodable.
    void SetUsmReceiver(UsmReceiver* usm) { usm_ = usm; }
    // Ends the three threads, by force if they do not end at once; empties
    // the handle slots. Does nothing for a slot that is already empty.
    void Stop();

    // The threads' loops; each returns the thread's exit code, 0.
    DWORD ReceiveLoop();
    DWORD IntakeLoop();
    DWORD AlertLoop();

    CTrapSocket& Socket() { return *socket_; }
    // For tests: the handle of a worker (0 receive, 1 intake, 2 alert), and
    // a hook that runs at the start of each of its units of work (set
    // before Start).
    HANDLE ThreadHandle(int worker) const { return workers_[worker].thread.Get(); }
    void SetUnitHook(int worker, std::function<void()> hook) { workers_[worker].gate.SetUnitHook(std::move(hook)); }

private:
    enum class WorkerState { Starting, Running, Leaving };
    struct Worker {
        UniqueHandle thread;
        DWORD threadId = 0;
        UniqueHandle stopEvent;
        StopGate gate;
        std::atomic<WorkerState> state{WorkerState::Starting};
    };

    // Called by a worker once its loop has seen the stop event: marks it as
    // on its way out, under its gate, so that Stop lets it finish.
    static void MarkLeaving(Worker& worker);
    void StartWorker(Worker& worker, LPTHREAD_START_ROUTINE routine);
    void WaitUntilRunning(Worker& worker);
    static void StopWorker(Worker& worker);

    Worker workers_[3];
    Worker& receive_ = workers_[0];
    Worker& intake_ = workers_[1];
    Worker& alert_ = workers_[2];
    std::unique_ptr<CTrapSocket> socket_;
    const TrapSettings* settings_ = nullptr;
    TrapEventQueue* pending_ = nullptr;
    AlertWork* alertWork_ = nullptr;
    std::unique_ptr<ReceiveTriage> triage_;  // the receive thread's: INFORM answers, SNMPv3
    UsmReceiver* usm_ = nullptr;
};
