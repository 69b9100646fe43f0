#include "snmp/trap_intake.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "core/ipv4.h"
#include "core/work_gate.h"
#include "snmp/datagram_decoder.h"

bool AcceptSource(const TrapSettings& settings, uint32_t fromAddress, const std::string& senderText) {
    if (!settings.prohibitionText.empty()) {
        const uint32_t mask = settings.prohibitionAddress;
        const uint32_t x = mask & fromAddress;
        const uint32_t y = settings.targetText.empty() ? 0 : (mask & settings.targetAddress);
        return x != 0 && y != 0 && x == y;
    }
    if (settings.targetText.empty()) return true;
    return senderText == settings.targetText;
}

namespace {

std::atomic<uint64_t> g_droppedPendingEvents{0};

// Decodes one datagram and queues its event if the filter accepts it.
// Returns true when an event was queued.
bool TakeInPacket(const RawPacket& packet, const TrapSettings& settings, TrapEventQueue& pending,
                  std::size_t pendingLimit) {
    const size_t size = static_cast<size_t>(std::clamp<int32_t>(packet.length, 0, kMaxDatagram));
    // Each datagram starts with empty texts. Without acceptV2c every datagram
    // is read as an SNMPv1 trap whatever its version field says, as always.
    DecodedDatagram decoded;
    if (packet.form == PacketForm::V3Pdu) {
        decoded = DecodeV3Pdu(packet.bytes, size);
    } else if (settings.acceptV2c) {
        decoded = DecodeDatagram(packet.bytes, size, settings.community, true);
    } else {
        decoded.messageNumber = ParseTrap(packet.bytes, size, settings.community, decoded.fields, decoded.reason);
    }
    // An INFORM here (v2c or v3) was answered on the receive thread (when
    // the filter below accepts it too) and is its first copy: resends are
    // not queued.
    if (decoded.messageNumber == 0) return false;
    const int32_t number = decoded.messageNumber;
    TrapFields& fields = decoded.fields;

    std::unique_ptr<TrapEvent> event(new (std::nothrow) TrapEvent);
    if (!event) return false;
    event->arrivalTime = packet.arrivalTime;
    event->fromText = fields.agentAddress.empty() ? packet.senderAddress : fields.agentAddress;
    event->messageNumber = number;
    event->specificCode = fields.specificCode;
    event->outletNumber = fields.outletNumber;
    event->outletName = std::move(fields.outletName);

    if (!AcceptSource(settings, InetAddr(event->fromText.c_str()), packet.senderAddress)) return false;
    if (pending.Count() >= pendingLimit) {
        g_droppedPendingEvents.fetch_add(1);
        return false;
    }
    if (!pending.Append(event.get())) return false;
    event.release();
    return true;
}

}  // namespace

uint64_t DroppedPendingEvents() { return g_droppedPendingEvents.load(); }

int RunIntakePass(RawPacketQueue& rawQueue, const TrapSettings& settings, TrapEventQueue& pending, WorkGate& gate,
                  std::size_t pendingLimit) {
    int queued = 0;
    RawPacketQueue::Node* node = rawQueue.Head();
    while (node) {
        if (!gate.Enter()) return queued;
        // The receive thread only appends, so this node and its successor
        // link stay valid while the queue's mutex is not held.
        RawPacketQueue::Node* next = rawQueue.Next(node);
        try {
            if (TakeInPacket(*node->item, settings, pending, pendingLimit)) ++queued;
        } catch (const std::bad_alloc&) {
            // Out of memory: the datagram is dropped like one that does not decode.
        }
        delete rawQueue.Unlink(node);
        gate.Leave();
        node = next;
    }
    return queued;
}
