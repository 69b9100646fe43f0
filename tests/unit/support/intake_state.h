#pragma once
// What the intake pass is handed, the trap settings and the pending-event
// queue, held together as the program's CTrapApp holds them.
#include <cstddef>

#include "snmp/trap_intake.h"

struct IntakeState : TrapSettings {
    TrapEventQueue pendingEvents;
};

inline int RunIntakePass(RawPacketQueue& raw, IntakeState& state, WorkGate& gate,
                         std::size_t pendingLimit = kMaxPendingEvents) {
    return RunIntakePass(raw, static_cast<const TrapSettings&>(state), state.pendingEvents, gate, pendingLimit);
}
