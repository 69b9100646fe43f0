#pragma once
// The intake pass: raw datagrams to accepted TrapEvents, with the source filter.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/refusal_counters.h"
#include "snmp/trap_records.h"

#include "settings/trap_settings.h"

class WorkGate;

// The source filter on the target and prohibition settings. fromAddress:
// inet_addr of the event's From text (agent address when present);
// senderText: the datagram's source address as dotted text. None when the
// sender is accepted; Masked when the prohibition mask refuses it, NotTarget
// when it is not the one target.
RefusalReason AcceptSource(const TrapSettings& settings, uint32_t fromAddress, const std::string& senderText);

// Most accepted events waiting for the alert thread, which announces five a
// second: beyond this (hours of alerts) a flood of valid traps would only
// exhaust memory, so further events are refused as QueueFull. As many as the
// raw queue holds, so that one full intake pass loses none.
constexpr std::size_t kMaxPendingEvents = kMaxQueuedDatagrams;

// Empties the raw datagram queue from head to tail: each packet is decoded
// with the settings' community and filtered by their target and mask;
// accepted events are appended to pending (while it holds fewer than
// pendingLimit); each datagram not queued is counted in refusals with its
// reason; every packet is unlinked and freed. Stops early (leaving the rest
// queued) when gate.Enter() refuses. Returns the events queued.
int RunIntakePass(RawPacketQueue& rawQueue, const TrapSettings& settings, TrapEventQueue& pending, WorkGate& gate,
                  RefusalCounters& refusals, std::size_t pendingLimit = kMaxPendingEvents);
