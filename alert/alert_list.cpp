#include "alert/alert_list.h"

#include "core/mbcs.h"

std::vector<void*> TrimAlertList(AlertList& list) {
    std::vector<void*> toClose;
    auto lock = list.Lock();
    if (list.CountLocked() < static_cast<std::size_t>(kMaxOpenAlerts)) return toClose;

    // Entries of windows already closed go first.
    for (auto* node = list.HeadLocked(); node;) {
        auto* next = node->next;
        if (node->item->window == nullptr) delete list.UnlinkLocked(node);
        node = next;
    }
    // Then the oldest, until the window about to open makes ten.
    while (list.CountLocked() >= static_cast<std::size_t>(kMaxOpenAlerts)) {
        CAlertEntry* oldest = list.UnlinkLocked(list.HeadLocked());
        if (oldest->window) toClose.push_back(oldest->window);
        delete oldest;
    }
    return toClose;
}

uint32_t AlertColourFor(const char* colourName, unsigned codePage) {
    if (MbsEqualNoCase(colourName, "red", codePage)) return kColourRed;
    if (MbsEqualNoCase(colourName, "green", codePage)) return kColourGreen;
    return kColourOrange;
}

uint32_t LookupAlertColour(AlertList& list, void* window) {
    uint32_t colour = kColourOrange;
    auto lock = list.Lock();
    for (auto* node = list.HeadLocked(); node; node = node->next)
        if (node->item->window == window) colour = node->item->colour;
    return colour;
}

void ForgetAlertEntry(AlertList& list, void* window) {
    auto lock = list.Lock();
    for (auto* node = list.HeadLocked(); node; node = node->next)
        if (node->item->window == window) node->item->window = nullptr;
}
