#include "alert/repeat_windows.h"

#include <algorithm>

#include "alert/message_catalogue.h"
#include "settings/trap_settings.h"
#include "snmp/trap_records.h"

bool operator==(const RepeatKey& a, const RepeatKey& b) {
    if (a.fromText != b.fromText || a.messageNumber != b.messageNumber || a.outlet != b.outlet) return false;
    return !a.outlet || (a.outletNumber == b.outletNumber && a.outletName == b.outletName);
}

RepeatKey RepeatKeyOf(const TrapEvent& event, int32_t n) {
    RepeatKey key;
    key.fromText = event.fromText;
    key.messageNumber = n;
    // Outside the outlet messages the outlet fields are not shown, so they
    // do not tell two alerts apart.
    key.outlet = IsOutletMessage(n);
    if (key.outlet) {
        key.outletNumber = event.outletNumber;
        key.outletName = event.outletName;
    }
    return key;
}

std::string RepeatLineText(uint32_t count, const std::string& latestDate, int32_t language) {
    const std::string times = std::to_string(count);
    if (language == kEnglishLanguage) return "Received " + times + " times (last " + latestDate + ")";
    // "N 回受信 (最終 date)" in Shift-JIS.
    return times + " \x89\xf1\x8e\xf3\x90\x4d (\x8d\xc5\x8f\x49 " + latestDate + ")";
}

std::shared_ptr<RepeatWindow> RepeatWindows::Open(const RepeatKey& key) {
    auto record = std::make_shared<RepeatWindow>(key);
    std::lock_guard<std::mutex> lock(mutex_);
    open_.push_back(record);
    return record;
}

void RepeatWindows::Attach(RepeatWindow& record, void* window) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (record.open_) record.window_ = window;
}

std::string RepeatWindows::LineOf(const RepeatWindow& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    return record.line_;
}

uint32_t RepeatWindows::CountOf(const RepeatWindow& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    return record.count_;
}

void RepeatWindows::Close(RepeatWindow& record) {
    std::shared_ptr<RepeatWindow> last;  // freed after the lock, if this was the last owner
    std::lock_guard<std::mutex> lock(mutex_);
    record.open_ = false;
    record.window_ = nullptr;
    auto it = std::find_if(open_.begin(), open_.end(), [&](const auto& r) { return r.get() == &record; });
    if (it == open_.end()) return;
    last = std::move(*it);
    open_.erase(it);
}

std::size_t RepeatWindows::OpenCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.size();
}

RepeatWindow* RepeatWindows::FindOpenLocked(const RepeatKey& key) {
    for (const auto& record : open_)
        if (record->key_ == key) return record.get();
    return nullptr;
}
