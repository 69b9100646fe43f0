#include "settings/device_names.h"

#include "core/dotted_ipv4.h"
#include "core/mbcs.h"
#include "core/profile_reader.h"

namespace {
constexpr unsigned kKeyListBuffer = 32768;  // room for far more keys than are taken
constexpr unsigned kNameBuffer = 512;       // as the trap section's values
}  // namespace

void DeviceNames::Load(ProfileReader& reader, unsigned codePage) {
    codePage_ = codePage;
    entries_.clear();
    for (const std::string& key : reader.GetKeys(kNamesSection, kKeyListBuffer)) {
        if (entries_.size() >= kMaxDeviceNames) break;
        unsigned long address = 0;
        if (!ParseDottedIPv4(key, address) || NameOf(key)) continue;
        std::string name;
        reader.GetString(kNamesSection, key.c_str(), "", name, kNameBuffer);
        name = CutAtCharacter(name, kMaxDeviceNameBytes, codePage);
        if (!name.empty()) entries_.push_back({key, name});
    }
}

const std::string* DeviceNames::NameOf(const std::string& fromText) const {
    for (const DeviceName& entry : entries_)
        if (MbsEqualNoCase(entry.address.c_str(), fromText.c_str(), codePage_)) return &entry.name;
    return nullptr;
}
