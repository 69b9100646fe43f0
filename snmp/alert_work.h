#pragma once
// What the receiver engine's alert thread runs every period: the program
// composes it (the alert pass over its pending events, its catalogue and
// its alert windows), so that reception knows nothing of its outputs.
class WorkGate;

class AlertWork {
public:
    virtual ~AlertWork() = default;
    // One pass; every unit of work inside the gate. Returns what it announced.
    virtual int RunPass(WorkGate& gate) = 0;
};
