#pragma once
// Alert windows that take the repeats of their trap (mergeRepeats=1): a
// device that resends a trap while its condition lasts (RFC 1628's
// upsTrapOnBattery, once a minute) updates the window it opened instead of
// opening one per repeat and pushing other devices' alerts out of the cap.
//
// The alert thread opens a window's record before the window exists and
// merges repeats into it; the window's own thread attaches its handle,
// reads what to show and closes the record when the user closes it. One
// mutex guards every record, so a repeat is either merged into a window
// that is still open or opens a new one, never lost to a closing window.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct TrapEvent;

// What makes two traps the same alert: the sender line's From text, the
// adjusted message number and, for outlet messages, the outlet number and
// name their text shows.
struct RepeatKey {
    std::string fromText;
    int32_t messageNumber = 0;
    bool outlet = false;
    int32_t outletNumber = 0;
    std::string outletName;
};

bool operator==(const RepeatKey& a, const RepeatKey& b);

// The key of an event shown under the adjusted message number n.
RepeatKey RepeatKeyOf(const TrapEvent& event, int32_t n);

// The line a merged window shows under its message, in the alert language
// (1 = English, anything else Japanese in Shift-JIS, as the catalogues):
// how many times the trap came and the date text of the latest.
std::string RepeatLineText(uint32_t count, const std::string& latestDate, int32_t language);

// One alert window's record; its fields belong to its RepeatWindows.
class RepeatWindow {
public:
    explicit RepeatWindow(RepeatKey key) : key_(std::move(key)) {}

private:
    friend class RepeatWindows;
    RepeatKey key_;
    uint32_t count_ = 1;
    std::string line_;        // empty until the first repeat
    void* window_ = nullptr;  // null while the window is being created
    bool open_ = true;
};

class RepeatWindows {
public:
    // Locks the mutex once on the creating thread, as OwnedList does: the
    // first lock may allocate with mingw-w64.
    RepeatWindows() { std::lock_guard<std::mutex> settle(mutex_); }
    RepeatWindows(const RepeatWindows&) = delete;
    RepeatWindows& operator=(const RepeatWindows&) = delete;

    // Alert thread. When a window of key is open (or still being created),
    // counts this arrival with its date text and returns true; raise(window)
    // is called with the lock held, so the handle cannot be destroyed under
    // it (Close takes the same lock first), and only once the window exists:
    // a window still being created reads the count when it attaches.
    template <class Raise>
    bool Merge(const RepeatKey& key, const std::string& dateText, int32_t language, Raise raise) {
        std::lock_guard<std::mutex> lock(mutex_);
        RepeatWindow* window = FindOpenLocked(key);
        if (!window) return false;
        if (window->count_ < UINT32_MAX) ++window->count_;
        window->line_ = RepeatLineText(window->count_, dateText, language);
        if (window->window_) raise(window->window_);
        return true;
    }

    // Alert thread: the record of a window about to be started, open to
    // repeats from now on. Throws std::bad_alloc.
    std::shared_ptr<RepeatWindow> Open(const RepeatKey& key);

    // Window thread: the window exists (WM_INITDIALOG).
    void Attach(RepeatWindow& record, void* window);
    // Window thread: what to show under the message; empty before a repeat.
    std::string LineOf(const RepeatWindow& record);
    // How many times the window's trap came (the first included).
    uint32_t CountOf(const RepeatWindow& record);
    // The user closed the window (or it never came up): the next trap of its
    // key opens a new window. May be called more than once.
    void Close(RepeatWindow& record);

    // Records open to repeats.
    std::size_t OpenCount();

private:
    RepeatWindow* FindOpenLocked(const RepeatKey& key);

    std::mutex mutex_;
    std::vector<std::shared_ptr<RepeatWindow>> open_;
};
