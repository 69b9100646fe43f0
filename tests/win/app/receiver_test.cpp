// The trap socket and the receiver engine on real Windows Sockets under Wine.
#include <winsock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_alert_work.h"
#include "app/trap_app.h"
#include "core/work_gate.h"
#include "snmp/refusal_counters.h"
#include "snmp/trap_receiver.h"
#include "snmp/trap_socket.h"

namespace {
// Ports of these tests: 22100-22199.
constexpr int kPortBase = 22100;

class Winsock : public ::testing::Environment {
public:
    void SetUp() override {
        WSADATA wsa;
        ASSERT_EQ(WSAStartup(0x0101, &wsa), 0);
    }
    void TearDown() override { WSACleanup(); }
};
const auto* const kWinsock = ::testing::AddGlobalTestEnvironment(new Winsock);

// A UDP sender on 127.0.0.1 with its own source port.
class Sender {
public:
    Sender() {
        socket_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr("127.0.0.1");
        bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    }
    ~Sender() { closesocket(socket_); }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    bool Send(int port, const std::vector<unsigned char>& bytes) {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<u_short>(port));
        to.sin_addr.s_addr = inet_addr("127.0.0.1");
        int n = sendto(socket_, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
                       reinterpret_cast<sockaddr*>(&to), sizeof(to));
        return n == static_cast<int>(bytes.size());
    }

private:
    SOCKET socket_;
};

std::vector<unsigned char> Pattern(size_t length, unsigned char seed) {
    std::vector<unsigned char> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(seed + i * 7);
    return bytes;
}

// Runs ReceiveOnce until `count` datagrams are queued or `turns` turns passed.
void ReceiveUntil(CTrapSocket& trapSocket, size_t count, int turns = 20) {
    OpenGate gate;
    for (int i = 0; i < turns && trapSocket.Queue().Count() < count; ++i) trapSocket.ReceiveOnce(1, gate);
}

std::vector<RawPacket*> Packets(CTrapSocket& trapSocket) {
    std::vector<RawPacket*> all;
    auto& queue = trapSocket.Queue();
    for (auto* node = queue.Head(); node; node = queue.Next(node)) all.push_back(node->item);
    return all;
}

struct SocketCloser {
    CTrapSocket& s;
    ~SocketCloser() { s.Close(); }
};
}  // namespace

TEST(TrapSocket, QueuesDatagramsWholeInArrivalOrderWithTheirSource) {
    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 1, "vandor"));
    Sender sender;
    const std::vector<std::vector<unsigned char>> sent = {Pattern(0, 0), Pattern(1, 1), Pattern(200, 2),
                                                          Pattern(1499, 3), Pattern(1500, 4)};
    for (const auto& d : sent) ASSERT_TRUE(sender.Send(kPortBase + 1, d));
    ReceiveUntil(trapSocket, sent.size());

    auto packets = Packets(trapSocket);
    ASSERT_EQ(packets.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(packets[i]->length, static_cast<int32_t>(sent[i].size()));
        EXPECT_EQ(0, std::memcmp(packets[i]->bytes, sent[i].data(), sent[i].size()));
        EXPECT_EQ(packets[i]->senderAddress, "127.0.0.1");
        EXPECT_LE(std::abs(static_cast<long long>(packets[i]->arrivalTime - std::time(nullptr))), 5);
    }
}

TEST(TrapSocket, DropsADatagramLongerThan1500OctetsWhole) {
    CTrapSocket trapSocket;
    RefusalCounters refusals;
    trapSocket.CountRefusalsIn(refusals);
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 2, "vandor"));
    Sender sender;
    ASSERT_TRUE(sender.Send(kPortBase + 2, Pattern(1501, 9)));
    ASSERT_TRUE(sender.Send(kPortBase + 2, Pattern(4000, 8)));
    ASSERT_TRUE(sender.Send(kPortBase + 2, Pattern(10, 5)));  // the next one still arrives
    ReceiveUntil(trapSocket, 1);
    OpenGate gate;
    trapSocket.ReceiveOnce(1, gate);  // nothing more is pending

    auto packets = Packets(trapSocket);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0]->length, 10);
    EXPECT_EQ(0, std::memcmp(packets[0]->bytes, Pattern(10, 5).data(), 10));
    // Each is counted as refused, as no trap is that long.
    const RefusalTally tally = refusals.Snapshot();
    EXPECT_EQ(tally.Of(RefusalReason::NotDecodable), 2u);
    EXPECT_EQ(tally.total, 2u);
}

TEST(TrapSocket, TurnsQueueEveryWaitingDatagramInOrder) {
    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 8, "vandor"));
    Sender sender;
    constexpr int kBurst = kMaxDatagramsPerTurn + 200;  // two turns
    for (int i = 0; i < kBurst; ++i) {
        std::vector<unsigned char> d = Pattern(60, static_cast<unsigned char>(i));
        d[0] = static_cast<unsigned char>(i >> 8);
        d[1] = static_cast<unsigned char>(i);
        ASSERT_TRUE(sender.Send(kPortBase + 8, d));
        if (i == 150) {
            ASSERT_TRUE(sender.Send(kPortBase + 8, Pattern(1501, 7)));  // dropped mid-burst
        }
    }
    Sleep(200);  // let the burst reach the socket's buffer
    OpenGate gate;
    trapSocket.ReceiveOnce(1, gate);
    // A turn stops at its bound of reads, one of which was the long datagram.
    ASSERT_EQ(Packets(trapSocket).size(), static_cast<size_t>(kMaxDatagramsPerTurn - 1));
    trapSocket.ReceiveOnce(1, gate);

    auto packets = Packets(trapSocket);
    ASSERT_EQ(packets.size(), static_cast<size_t>(kBurst)) << "the next turn reads the rest";
    for (int i = 0; i < kBurst; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(packets[i]->length, 60);
        EXPECT_EQ((packets[i]->bytes[0] << 8) | packets[i]->bytes[1], i);
    }
}

TEST(TrapSocket, AsksForALargeReceiveBuffer) {
    auto receiveBuffer = [](SOCKET s) {
        int size = 0;
        int length = sizeof(size);
        EXPECT_EQ(getsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &length), 0);
        return size;
    };
    // What this system grants a socket that asks for the same size (it may cap it).
    SOCKET plain = socket(AF_INET, SOCK_DGRAM, 0);
    const int defaultSize = receiveBuffer(plain);
    const int asked = kSocketReceiveBufferBytes;
    setsockopt(plain, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&asked), sizeof(asked));
    const int granted = receiveBuffer(plain);
    closesocket(plain);

    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 9, "vandor"));
    EXPECT_EQ(receiveBuffer(trapSocket.Handle()), granted);
    EXPECT_GE(granted, defaultSize);
}

TEST(TrapSocket, CommunityOf256BytesOpensAnd257DoesNot) {
    CTrapSocket fits;
    SocketCloser closeFits{fits};
    EXPECT_TRUE(fits.Open(kPortBase + 3, std::string(256, 'c')));

    CTrapSocket tooLong;
    SocketCloser closeTooLong{tooLong};
    EXPECT_FALSE(tooLong.Open(kPortBase + 4, std::string(257, 'c')));
    EXPECT_NE(tooLong.Handle(), 0u) << "the socket stays recorded for Close";
}

TEST(TrapSocket, APortAlreadyBoundCannotBeOpened) {
    CTrapSocket first, second;
    SocketCloser c1{first}, c2{second};
    ASSERT_TRUE(first.Open(kPortBase + 5, "vandor"));
    EXPECT_FALSE(second.Open(kPortBase + 5, "vandor"));
}

// Another local program must not share the trap port (and take the traps)
// by binding it with SO_REUSEADDR: the socket holds it exclusively.
TEST(TrapSocket, NoOtherSocketSharesThePort) {
    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 6, "vandor"));
    BOOL exclusive = FALSE;
    int size = sizeof(exclusive);
    ASSERT_EQ(getsockopt(trapSocket.Handle(), SOL_SOCKET, kExclusiveAddressUse, reinterpret_cast<char*>(&exclusive),
                         &size),
              0);
    EXPECT_TRUE(exclusive);

    SOCKET other = socket(AF_INET, SOCK_DGRAM, 0);
    const BOOL reuse = TRUE;
    setsockopt(other, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(kPortBase + 6);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    EXPECT_EQ(bind(other, reinterpret_cast<sockaddr*>(&address), sizeof(address)), SOCKET_ERROR);
    closesocket(other);
}

TEST(TrapSocket, ReceiveOnceReturnsAfterTheTimeoutWithoutTraffic) {
    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 6, "vandor"));
    OpenGate gate;
    DWORD start = GetTickCount();
    trapSocket.ReceiveOnce(1, gate);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(trapSocket.Queue().Count(), 0u);
}

TEST(TrapSocket, ARefusedGateLeavesTheDatagramUnread) {
    class ClosedGate final : public WorkGate {
    public:
        bool Enter() override { return false; }
        void Leave() override {}
    };
    CTrapSocket trapSocket;
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 7, "vandor"));
    Sender sender;
    ASSERT_TRUE(sender.Send(kPortBase + 7, Pattern(20, 1)));
    ClosedGate closed;
    trapSocket.ReceiveOnce(1, closed);
    EXPECT_EQ(trapSocket.Queue().Count(), 0u);
    ReceiveUntil(trapSocket, 1);  // still there for the next open turn
    EXPECT_EQ(trapSocket.Queue().Count(), 1u);
}

// The raw queue is bounded: at the bound further datagrams are read,
// dropped and counted, and queuing resumes once the intake pass makes room.
TEST(TrapSocket, AFullQueueDropsAndCountsFurtherDatagrams) {
    CTrapSocket trapSocket(5);
    RefusalCounters refusals;
    trapSocket.CountRefusalsIn(refusals);
    SocketCloser closer{trapSocket};
    ASSERT_TRUE(trapSocket.Open(kPortBase + 10, "vandor"));
    Sender sender;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(sender.Send(kPortBase + 10, Pattern(40, static_cast<unsigned char>(i))));
    OpenGate gate;
    auto& queue = trapSocket.Queue();
    for (int turn = 0; turn < 20 && queue.Count() + trapSocket.DroppedCount() < 8; ++turn)
        trapSocket.ReceiveOnce(1, gate);
    EXPECT_EQ(queue.Count(), 5u);
    EXPECT_EQ(trapSocket.DroppedCount(), 3u);
    EXPECT_EQ(Packets(trapSocket).front()->bytes[0], Pattern(40, 0)[0]) << "the first ones are kept";
    RefusalTally tally = refusals.Snapshot();
    EXPECT_EQ(tally.Of(RefusalReason::QueueFull), 3u);
    EXPECT_EQ(tally.lastReason, RefusalReason::QueueFull);
    EXPECT_EQ(tally.lastSender, "127.0.0.1");

    delete queue.Unlink(queue.Head());
    ASSERT_TRUE(sender.Send(kPortBase + 10, Pattern(40, 9)));
    for (int turn = 0; turn < 20 && queue.Count() < 5; ++turn) trapSocket.ReceiveOnce(1, gate);
    EXPECT_EQ(queue.Count(), 5u);
    EXPECT_EQ(trapSocket.DroppedCount(), 3u);
}

namespace {
class ReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_.settings.port = kPortBase + 20;
        app_.settings.receiveTimeout = 60;  // the receive thread sits in select() when stopped
        app_.settingsPath = "Z:\\nonexistent\\Dovrel.ini";
        AlertWindowContext windows;
        windows.instance = GetModuleHandleA(nullptr);
        windows.openAlerts = &app_.openAlerts;
        alertWork_.reset(
            new AppAlertWork(app_.pendingEvents, app_.settingsPath, app_.settings.language, windows, app_.refusals));
    }

    // Starts the engine as the program does, on app_'s settings and queue.
    bool StartEngine(CTrapReceiver& receiver) {
        return receiver.Start(app_.settings, app_.pendingEvents, *alertWork_, app_.refusals);
    }

    // Copies of the worker handles, to look at the threads after Stop.
    std::vector<HANDLE> DuplicateWorkers(CTrapReceiver& receiver) {
        std::vector<HANDLE> copies;
        for (int i = 0; i < 3; ++i) {
            HANDLE copy = nullptr;
            EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), receiver.ThreadHandle(i), GetCurrentProcess(), &copy, 0,
                                        FALSE, DUPLICATE_SAME_ACCESS));
            copies.push_back(copy);
        }
        return copies;
    }

    CTrapApp app_;
    std::unique_ptr<AppAlertWork> alertWork_;
};

// Takes a raw queue's mutex (append, unlink) and the allocator: hangs when
// a thread ended by force left either locked.
void UseQueueAndHeap(RawPacketQueue& queue) {
    auto* extra = new RawPacket;
    if (!queue.Append(extra)) delete extra;
    delete queue.Unlink(queue.Head());
    std::vector<char> churn(1 << 16);
    (void)churn;
}

// True when fn finishes within ms on a thread of its own.
template <class Fn>
bool FinishesWithin(DWORD ms, Fn fn) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([done, fn] {
        fn();
        done->store(true);
    }).detach();
    for (DWORD waited = 0; waited < ms && !done->load(); waited += 10) Sleep(10);
    return done->load();
}
}  // namespace

TEST_F(ReceiverTest, StopEndsEveryThreadAndEmptiesTheSlots) {
    CTrapReceiver receiver;
    ASSERT_TRUE(StartEngine(receiver));
    for (int i = 0; i < 3; ++i) ASSERT_NE(receiver.ThreadHandle(i), nullptr);
    auto threads = DuplicateWorkers(receiver);

    DWORD start = GetTickCount();
    receiver.Stop();
    EXPECT_LT(GetTickCount() - start, 2000u) << "Stop does not wait for the 60 s select";
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(receiver.ThreadHandle(i), nullptr);
        EXPECT_EQ(WaitForSingleObject(threads[i], 0), WAIT_OBJECT_0) << "the thread has really ended";
        DWORD code = 0;
        GetExitCodeThread(threads[i], &code);
        EXPECT_TRUE(code == 0 || code == kForcedExitCode) << code;
        CloseHandle(threads[i]);
    }
    receiver.Stop();  // a second Stop finds empty slots
}

// The receive thread sits in a 60 s select() when the engine is stopped and
// destroyed; the port must be free afterwards, for the next start.
TEST_F(ReceiverTest, ThePortIsFreeAfterStopAndDestruction) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        auto* receiver = new CTrapReceiver;
        ASSERT_TRUE(StartEngine(*receiver));
        Sleep(50);
        receiver->Stop();
        delete receiver;
        CTrapSocket again;
        SocketCloser closer{again};
        EXPECT_TRUE(again.Open(app_.settings.port, "vandor")) << "the stopped engine's socket is still bound";
    }
}

TEST_F(ReceiverTest, TheReceiveThreadQueuesWhatArrives) {
    app_.settings.receiveTimeout = 1;
    CTrapReceiver receiver;
    ASSERT_TRUE(StartEngine(receiver));
    Sender sender;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(sender.Send(app_.settings.port, Pattern(30 + i, static_cast<unsigned char>(i))));
    // The intake pass first runs 5 s after Start; before that the queue holds everything.
    for (int i = 0; i < 30 && receiver.Socket().Queue().Count() < 5; ++i) Sleep(50);
    EXPECT_EQ(receiver.Socket().Queue().Count(), 5u);
    auto packets = Packets(receiver.Socket());
    for (size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(packets[i]->length, static_cast<int32_t>(30 + i));
    receiver.Stop();
}

TEST_F(ReceiverTest, AFailedStartStartsNoThreadAndStopDoesNothing) {
    CTrapSocket blocker;
    SocketCloser closer{blocker};
    ASSERT_TRUE(blocker.Open(app_.settings.port, "vandor"));
    CTrapReceiver receiver;
    EXPECT_FALSE(StartEngine(receiver));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(receiver.ThreadHandle(i), nullptr);
    receiver.Stop();

    app_.settings.community = std::string(257, 'x');
    app_.settings.port = kPortBase + 21;
    CTrapReceiver overLong;
    EXPECT_FALSE(StartEngine(overLong));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(overLong.ThreadHandle(i), nullptr);
    overLong.Stop();
}

// A stop during a flood of datagrams never leaves the queue's mutex or the
// heap locked by a thread ended by force, nor the port bound.
TEST_F(ReceiverTest, StopDuringAFloodLeavesNoLockTakenAndFreesThePort) {
    app_.settings.receiveTimeout = 1;
    // Floods the port from a thread of its own for as long as it lives.
    struct Flood {
        explicit Flood(int port) : thread([this, port] {
            Sender sender;
            // Thousands of datagrams a second, with a breather now and then so
            // that the flood does not starve the Wine server on a busy machine.
            for (unsigned n = 1; running.load(); ++n) {
                sender.Send(port, Pattern(300, 1));
                if (n % 50 == 0) Sleep(1);
            }
        }) {}
        ~Flood() {
            running.store(false);
            thread.join();
        }
        std::atomic<bool> running{true};
        std::thread thread;
    } flood(app_.settings.port);
    DWORD slowestStop = 0;
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        auto* receiver = new CTrapReceiver;
        ASSERT_TRUE(StartEngine(*receiver));
        Sleep(static_cast<DWORD>(5 + (round * 7) % 40));
        DWORD stopStart = GetTickCount();
        receiver->Stop();
        slowestStop = std::max(slowestStop, GetTickCount() - stopStart);
        auto& queue = receiver->Socket().Queue();
        EXPECT_TRUE(FinishesWithin(3000, [&queue] { UseQueueAndHeap(queue); })) << "a lock was left held";
        delete receiver;  // frees what is still queued
        CTrapSocket again;
        SocketCloser closer{again};
        EXPECT_TRUE(again.Open(app_.settings.port, "vandor")) << "the stopped engine's socket is still bound";
    }
    std::printf("slowest Stop during the flood: %lu ms\n", slowestStop);
}

// A unit of work under way when Stop comes is waited for, not cut short,
// even when it waits on the main thread (as the screen-saver broadcast
// does): Stop goes on answering sent messages. The intake and alert
// threads' first units (about 5 s after Start) are made slow by a hook
// that holds the pending-event queue's lock and sends a message to a
// window of this thread. Without the stop gate the threads would be
// ended inside the hook, leaving that lock held.
TEST_F(ReceiverTest, StopWaitsForUnitsUnderWayAndAnswersTheirMessages) {
    app_.settings.receiveTimeout = 1;
    HWND window = CreateWindowExA(0, "STATIC", "main-thread window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    struct UnitProbe {
        HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> first{true};
        std::atomic<bool> finished{false};
        std::atomic<bool> answered{false};
    } probes[2];
    CTrapReceiver receiver;
    for (int i = 0; i < 2; ++i) {
        UnitProbe* probe = &probes[i];
        // The intake unit holds the raw queue's lock, the alert unit the
        // pending-event queue's.
        std::mutex* held = i == 0 ? receiver.Socket().Queue().Lock().release() : app_.pendingEvents.Lock().release();
        held->unlock();
        receiver.SetUnitHook(i + 1, [probe, held, window] {
            if (!probe->first.exchange(false)) return;
            SetEvent(probe->entered);
            std::lock_guard<std::mutex> lock(*held);
            Sleep(300);
            DWORD_PTR result = 0;
            probe->answered = SendMessageTimeoutA(window, WM_USER + 7, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
            probe->finished = true;
        });
    }
    ASSERT_TRUE(StartEngine(receiver));
    // The intake pass has a unit only for a queued datagram.
    Sender sender;
    EXPECT_TRUE(sender.Send(app_.settings.port, Pattern(30, 1)));
    HANDLE entered[2] = {probes[0].entered, probes[1].entered};
    EXPECT_EQ(WaitForMultipleObjects(2, entered, TRUE, 10000), WAIT_OBJECT_0) << "the first units never ran";

    const DWORD start = GetTickCount();
    receiver.Stop();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u) << "Stop waited for a unit that waited on it";
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "intake" : "alert");
        EXPECT_TRUE(probes[i].finished.load()) << "the unit was cut short";
        EXPECT_TRUE(probes[i].answered.load()) << "the message sent to the main thread got no answer";
        CloseHandle(probes[i].entered);
    }
    auto& raw = receiver.Socket().Queue();
    CTrapApp* app = &app_;
    EXPECT_TRUE(FinishesWithin(3000, [app, &raw] {
        delete app->pendingEvents.Unlink(app->pendingEvents.Head());
        UseQueueAndHeap(raw);
    })) << "a lock was left held";
    DestroyWindow(window);
}
