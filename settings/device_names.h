#pragma once
// The optional section [usKarn_names] of Dovrel.ini: names for the devices
// that send traps, so that an alert says "From: Server room UPS (192.0.2.10)".
//   [usKarn_names]
//   192.0.2.10=Server room UPS
// Read once at start with the trap section; Kalbrit's Devices list writes it.
#include <cstddef>
#include <string>
#include <vector>

class ProfileReader;

constexpr char kNamesSection[] = "usKarn_names";
// Bounds: a site names its devices, not a network; a name is a label, and
// the alert window has room for a short one only.
constexpr std::size_t kMaxDeviceNames = 128;
constexpr std::size_t kMaxDeviceNameBytes = 64;

struct DeviceName {
    std::string address;  // dotted IPv4 as a sender's From text spells it
    std::string name;     // ANSI code page bytes, 1..kMaxDeviceNameBytes
};

class DeviceNames {
public:
    // The section's entries in file order. Skipped: a key that is no dotted
    // IPv4 address in inet_ntoa's form (comments, typos, leading zeros), an
    // empty name, a repeated address (the first counts, as the profile
    // functions read it) and every entry after the first kMaxDeviceNames. A
    // longer name is cut to kMaxDeviceNameBytes between two characters of
    // codePage. A missing section gives no names.
    void Load(ProfileReader& reader, unsigned codePage);

    // The name of the sender whose From text this is (compared without
    // regard to case), or null.
    const std::string* NameOf(const std::string& fromText) const;

    const std::vector<DeviceName>& Entries() const { return entries_; }

private:
    std::vector<DeviceName> entries_;
    unsigned codePage_ = 1252;
};
