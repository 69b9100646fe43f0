#pragma once
// The intake pass: raw datagrams to accepted TrapEvents, with the source filter.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/trap_records.h"

class CTrapApp;
class WorkGate;

struct SourceFilterSettings {
    std::string targetText;
    uint32_t targetAddress = 0;       // network byte order
    std::string prohibitionText;
    uint32_t prohibitionAddress = 0;  // network byte order
};

// fromAddress: inet_addr of the event's From text (agent address when
// present); senderText: the datagram's source address as dotted text.
bool AcceptSource(const SourceFilterSettings& settings, uint32_t fromAddress, const std::string& senderText);

// Most accepted events waiting for the alert thread, which announces five a
// second: beyond this (hours of alerts) a flood of valid traps would only
// exhaust memory, so further events are dropped and counted. As many as the
// raw queue holds, so that one full intake pass loses none.
constexpr std::size_t kMaxPendingEvents = kMaxQueuedDatagrams;

// Empties the raw datagram queue from head to tail: each packet is decoded
// with app's community, accepted events are appended to app's pending-event
// queue (while it holds fewer than pendingLimit), every packet is unlinked
// and freed. Stops early (leaving the rest queued) when gate.Enter()
// refuses. Returns the number of events queued.
int RunIntakePass(RawPacketQueue& rawQueue, CTrapApp& app, WorkGate& gate,
                  std::size_t pendingLimit = kMaxPendingEvents);
// Accepted events dropped because the pending-event queue was full, since
// the process started; read by tests, never reported.
uint64_t DroppedPendingEvents();
