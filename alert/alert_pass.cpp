#include "alert/alert_pass.h"

#include <new>

#include "alert/message_catalogue.h"
#include "alert/repeat_windows.h"
#include "alert/sender_line.h"
#include "core/work_gate.h"

namespace {
constexpr int kAlertSpacingMs = 200;

std::string SenderName(const CAlertDispatcher& dispatcher, const std::string& fromText) {
    const std::string* name = dispatcher.deviceNames ? dispatcher.deviceNames->NameOf(fromText) : nullptr;
    return name ? *name : std::string();
}

// Fills the dispatcher's current texts for one event; returns the adjusted
// message number.
int32_t ComposeTexts(CAlertDispatcher& dispatcher, const TrapEvent& event, ProfileReader& catalogue,
                  int32_t language) {
    AlertTexts& texts = dispatcher.current;
    texts.dateText = FormatAlertTime(event.arrivalTime);
    texts.senderLine = SenderLine(event.fromText);
    texts.senderName = SenderName(dispatcher, event.fromText);
    const int32_t n = AdjustMessageNumber(event.messageNumber, event.specificCode);
    texts.messageText = LookupMessage(catalogue, language, n, texts.colourName);
    if (IsOutletMessage(n))
        texts.messageText = OutletPrefix(event.outletNumber, event.outletName) + texts.messageText;
    return n;
}

// Merges the event into its open window when repeats are merged and one
// is open; otherwise starts a window with its own copy of the texts.
void ShowAlert(const CAlertDispatcher& dispatcher, const TrapEvent& event, int32_t n, int32_t language,
               AlertPlatform& platform, RepeatWindows* repeats) {
    std::shared_ptr<RepeatWindow> repeat;
    if (repeats) {
        const RepeatKey key = RepeatKeyOf(event, n);
        if (repeats->Merge(key, dispatcher.current.dateText, language,
                           [&](void* window) { platform.RaiseRepeatedWindow(window); }))
            return;
        repeat = repeats->Open(key);
    }
    bool started = false;
    try {
        // The window thread owns its copy; a failed start has freed it.
        if (auto* copy = new (std::nothrow) AlertTexts(dispatcher.current))
            started = platform.StartAlertWindow(copy, repeat);
    } catch (const std::bad_alloc&) {
    }
    // A window that never comes up must not take its trap's repeats.
    if (!started && repeat) repeats->Close(*repeat);
}
}  // namespace

int RunAlertPass(CAlertDispatcher& dispatcher, TrapEventQueue& queue, ProfileReader& catalogue,
                 int32_t language, AlertPlatform& platform, WorkGate& gate, RepeatWindows* repeats) {
    // Only this thread unlinks events, so a node stays valid between the
    // queue's short locks. Reading the head (a lock) and dismissing the
    // screen saver (which allocates) are a unit of work of their own.
    if (!gate.Enter()) return 0;
    TrapEventQueue::Node* current = queue.Head();
    if (current) platform.DismissScreenSaver();
    gate.Leave();
    if (!current) return 0;

    int announced = 0;
    while (current) {
        // One event is two units of work with the pause between them, so a
        // stop never has to wait for the pause.
        if (!gate.Enter()) return announced;
        TrapEventQueue::Node* successor = queue.Next(current);
        try {
            const TrapEvent& event = *current->item;
            const int32_t n = ComposeTexts(dispatcher, event, catalogue, language);
            platform.Beep();
            ShowAlert(dispatcher, event, n, language, platform, repeats);
            // After the window has started, so the record never delays it.
            platform.RecordAlert(dispatcher.current, event.arrivalTime, n, event.specificCode);
        } catch (const std::bad_alloc&) {
            // No memory for the texts: this alert cannot be shown, and
            // nothing may be thrown out of the thread.
        }
        ++announced;
        gate.Leave();

        platform.Pause(kAlertSpacingMs);

        if (!gate.Enter()) return announced;
        delete queue.Unlink(current);
        gate.Leave();
        current = successor;
    }
    return announced;
}
