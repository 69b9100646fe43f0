#pragma once
// Lets a worker thread's owner stop it between units of work.
//
// A worker calls Enter() before each unit of work (one datagram, one event)
// and Leave() after it; Enter() returns false once a stop has begun, and the
// worker then returns from its pass. The receiver engine's Stop holds the
// gate while it probes and, if need be, ends the thread by force, so a forced
// end never lands inside a unit (with the allocator's or a queue's lock held).
class WorkGate {
public:
    virtual ~WorkGate() = default;
    virtual bool Enter() = 0;
    virtual void Leave() = 0;
};

// The gate of code that runs without an owner that stops it (tests).
class OpenGate final : public WorkGate {
public:
    bool Enter() override { return true; }
    void Leave() override {}
};
