#pragma once
// The Devices list: [usKarn_names] as Kalbrit edits it, an address and a
// name per entry, within the bounds Dovrel reads (settings/device_names.h).
#include <string>
#include <vector>

#include "kalbrit/keyed_list.h"
#include "settings/device_names.h"

class DeviceListRules final : public ListRules {
public:
    const char* Section() const override { return kNamesSection; }
    std::size_t MaxEntries() const override { return kMaxDeviceNames; }
    std::size_t MaxValueBytes() const override { return kMaxDeviceNameBytes; }
    // A dotted IPv4 address as a sender's From text spells it.
    bool KeyValid(const std::string& key) const override;
    const char* ProblemText(ListProblem problem, UiLanguage language) const override;
};

// The list's entries as Dovrel reads the section.
std::vector<SectionValue> DeviceListEntries(const DeviceNames& names);
