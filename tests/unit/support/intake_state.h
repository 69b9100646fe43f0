#pragma once
// What the intake pass is handed, the trap settings, the pending-event
// queue and the refusal counters, held together as the program's CTrapApp
// holds them.
#include <cstddef>

#include "snmp/trap_intake.h"

struct IntakeState : TrapSettings {
    TrapEventQueue pendingEvents;
    RefusalCounters refusals;
};

inline int RunIntakePass(RawPacketQueue& raw, IntakeState& state, WorkGate& gate,
                         std::size_t pendingLimit = kMaxPendingEvents) {
    return RunIntakePass(raw, static_cast<const TrapSettings&>(state), state.pendingEvents, gate, state.refusals,
                         pendingLimit);
}
