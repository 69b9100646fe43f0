#pragma once
// The open-alert list's entries and its cap.
#include <cstdint>
#include <vector>

#include "core/owned_list.h"

constexpr uint32_t kColourRed = 0x003232FF;
constexpr uint32_t kColourOrange = 0x000087FF;
constexpr uint32_t kColourGreen = 0x0032C832;
constexpr int kMaxOpenAlerts = 10;

// One open (or recently closed) alert window and its colour.
class CAlertEntry {
public:
    explicit CAlertEntry(void* window) : window(window) {}
    virtual ~CAlertEntry() = default;
    CAlertEntry(const CAlertEntry&) = delete;
    CAlertEntry& operator=(const CAlertEntry&) = delete;

    void SetColour(uint32_t c) { colour = c; }

    void* window;                 // null once the window is destroyed
    uint32_t colour = kColourOrange;
};

using AlertList = OwnedList<CAlertEntry>;

// Trims the list to at most kMaxOpenAlerts - 1 entries: prunes closed
// entries, then removes the oldest. Returns the windows to close, oldest
// first; the caller posts their close requests after this returns.
std::vector<void*> TrimAlertList(AlertList& list);

// The colour chosen for a colour name: "red" and "green" compared without
// regard to case in the given ANSI code page; anything else is orange.
uint32_t AlertColourFor(const char* colourName, unsigned codePage);

// Colour of the window's entry (the last one wins), orange if none.
uint32_t LookupAlertColour(AlertList& list, void* window);

// Sets the window of every entry for this window to null.
void ForgetAlertEntry(AlertList& list, void* window);
