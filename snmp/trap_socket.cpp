#include "snmp/trap_socket.h"

#include <windows.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "core/work_gate.h"
#include "snmp/receive_triage.h"

namespace {

// The same value as time(nullptr). The C runtime's time() asks for the time
// zone on every call, which under Wine costs microseconds (a look at the zone
// files) on the path of every datagram; the system clock is read in a few
// nanoseconds.
std::time_t CurrentUnixTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t kTicksPerSecond = 10000000;         // 100 ns ticks
    constexpr uint64_t kUnixEpochTicks = 116444736000000000;  // 1970-01-01 since 1601-01-01
    return static_cast<std::time_t>((ticks - kUnixEpochTicks) / kTicksPerSecond);
}

}  // namespace

CTrapSocket::CTrapSocket(std::size_t maxQueued) : maxQueued_(maxQueued) {}

// RawPacketQueue's destructor frees every queued packet, head to tail,
// without its mutex: the worker threads have been stopped by then.
CTrapSocket::~CTrapSocket() = default;

bool CTrapSocket::Open(int32_t port, const std::string& community) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) {
        socket_ = 0;
        return false;
    }
    socket_ = s;
    if (community.size() > kMaxCommunityLength) return false;

    // A burst of traps waits in the socket's own buffer until the receive
    // thread reads it; the system default holds only a few hundred. If the
    // request is refused the default stays.
    const int receiveBuffer = kSocketReceiveBufferBytes;
    setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof(receiveBuffer));

    // Exclusive use of the port: without it, another local program could bind
    // it too (SO_REUSEADDR) and take the traps, and the test trap's
    // community with them. A port already bound by another socket still
    // fails the bind below, as before.
    const BOOL exclusive = TRUE;
    setsockopt(socket_, SOL_SOCKET, kExclusiveAddressUse, reinterpret_cast<const char*>(&exclusive), sizeof(exclusive));

    bindAddress_ = {};
    bindAddress_.sin_family = AF_INET;
    bindAddress_.sin_port = htons(static_cast<u_short>(static_cast<uint16_t>(port)));
    bindAddress_.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(socket_, reinterpret_cast<const sockaddr*>(&bindAddress_), sizeof(bindAddress_)) == SOCKET_ERROR)
        return false;
    // Non-blocking, so that one turn can read every datagram already waiting
    // and stop when none is left (see ReceiveOnce).
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    return true;
}

void CTrapSocket::Close() {
    if (socket_ != 0 && !closed_) closesocket(socket_);
    closed_ = true;
}

void CTrapSocket::ReceiveOnce(int32_t timeoutSeconds, WorkGate& gate, HANDLE pauseBreaker) {
    char buffer[kReceiveBufferSize] = {};

    // After a turn cut short by its bound, datagrams are still waiting: this
    // turn reads on at once. A select() on a socket with data waiting costs
    // milliseconds under Wine, a hundred datagrams' time in a flood.
    if (!moreWaiting_) {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(socket_, &readSet);
        timeval limit = {timeoutSeconds, 0};
        // Waiting in select() is outside the gate: a forced stop may land here.
        if (select(static_cast<int>(socket_ + 1), &readSet, nullptr, nullptr, &limit) == SOCKET_ERROR) {
            if (!pauseBreaker)
                Sleep(kSelectFailurePauseMs);
            else if (WaitForSingleObject(pauseBreaker, kSelectFailurePauseMs) == WAIT_OBJECT_0)
                SetEvent(pauseBreaker);  // left set for the owner's own test
        }
        if (!FD_ISSET(socket_, &readSet)) return;
    }

    // Every datagram already waiting is read in this turn, up to a bound so
    // that a stop request is still seen between turns: one select() per
    // datagram costs so much under load that the socket's buffer overflows.
    int read = 0;
    while (read < kMaxDatagramsPerTurn && ReceiveWaitingDatagram(gate, buffer)) ++read;
    moreWaiting_ = read == kMaxDatagramsPerTurn;
}

bool CTrapSocket::QueuePacket(const uint8_t* bytes, std::size_t length, const std::string& sender,
                              PacketForm form) {
    if (queue_.Count() >= maxQueued_ || length > sizeof(RawPacket::bytes)) return false;
    std::unique_ptr<RawPacket> packet(new (std::nothrow) RawPacket);
    if (!packet) return false;
    packet->arrivalTime = CurrentUnixTime();
    packet->senderAddress = sender;
    std::memcpy(packet->bytes, bytes, length);
    packet->length = static_cast<int32_t>(length);
    packet->form = form;
    if (!queue_.Append(packet.get())) return false;
    packet.release();
    return true;
}

// Why this send cannot hold up the receive thread: the socket is
// non-blocking (FIONBIO, set in Open), and Microsoft's sendto documentation
// says that a datagram for which the transport has no buffer space blocks
// only a blocking socket; a non-blocking one fails at once with
// WSAEWOULDBLOCK. UDP has no connection or flow control to wait for. The
// work is bounded too: at most one reply (at most 1500 octets) per datagram
// read, and a turn reads at most kMaxDatagramsPerTurn. A reply that fails is
// not retried: the sender resends its INFORM and gets another.
void CTrapSocket::SendReply(const uint8_t* reply, std::size_t size) {
    sendto(socket_, reinterpret_cast<const char*>(reply), static_cast<int>(size), 0,
           reinterpret_cast<const sockaddr*>(&senderAddress_), sizeof(senderAddress_));
}

void CTrapSocket::TakeDatagram(const char* bytes, int length) {
    bool queued = false;
    try {
        const char* text = inet_ntoa(senderAddress_.sin_addr);
        const std::string sender = text ? text : "";
        const uint8_t* datagram = reinterpret_cast<const uint8_t*>(bytes);
        TriageOutcome outcome = QueueAsReceived(datagram, static_cast<std::size_t>(length));
        if (triage_) {
            const DatagramSender from{senderAddress_.sin_addr.s_addr, senderAddress_.sin_port, sender};
            outcome = triage_->Handle(datagram, outcome.size, from, GetTickCount64());
        }
        if (outcome.replySize != 0) SendReply(outcome.reply, outcome.replySize);
        // outcome.refusal says why an SNMPv3 message was refused here; the
        // intake pass gives the reasons of everything it is handed.
        if (!outcome.queue) return;  // answered and already announced, or refused
        queued = QueuePacket(outcome.bytes, outcome.size, sender, outcome.form);
    } catch (const std::bad_alloc&) {
        // no memory left: dropped rather than thrown out of the thread
    }
    if (!queued) dropped_.fetch_add(1);
}

bool CTrapSocket::ReceiveWaitingDatagram(WorkGate& gate, char* buffer) {
    // From here on the thread may allocate and take the queue's mutex, so it
    // holds its gate: Stop never ends it by force inside this block.
    if (!gate.Enter()) return false;
    int addressLength = sizeof(senderAddress_);
    int n = recvfrom(socket_, buffer, kReceiveBufferSize, 0, reinterpret_cast<sockaddr*>(&senderAddress_),
                     &addressLength);
    bool more = true;
    if (n == SOCKET_ERROR) {
        // WSAEMSGSIZE: a datagram over 1500 octets, dropped whole rather than
        // queued truncated; the next one may follow. WSAECONNRESET: on a UDP
        // socket, an earlier reply met an ICMP port unreachable (an INFORM's
        // sender that has gone); nothing was lost. Anything else, the
        // would-block of an empty socket included, ends the turn.
        const int error = WSAGetLastError();
        more = error == WSAEMSGSIZE || error == WSAECONNRESET;
    } else {
        TakeDatagram(buffer, n);
    }
    gate.Leave();
    return more;
}
