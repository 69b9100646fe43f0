// [usKarn_names]: which lines name a device, the bounds, and the match.
#include "settings/device_names.h"

#include <gtest/gtest.h>

#include <string>

#include "support/map_profile_reader.h"

TEST(DeviceNames, NamesByAddressWithMalformedLinesSkipped) {
    MapProfileReader file;
    file.Set("usKarn_names", "192.0.2.10", "Server room UPS");
    file.Set("usKarn_names", "; a comment", "x");
    file.Set("usKarn_names", "192.0.2.011", "leading zero: never a sender's text");
    file.Set("usKarn_names", "192.0.2", "too short");
    file.Set("usKarn_names", "ups.example", "a host name");
    file.Set("usKarn_names", "192.0.2.12", "");
    file.Set("usKarn_names", "10.0.0.1", "Rack 4 PDU");
    DeviceNames names;
    names.Load(file, 1252);

    ASSERT_EQ(names.Entries().size(), 2u);
    ASSERT_NE(names.NameOf("192.0.2.10"), nullptr);
    EXPECT_EQ(*names.NameOf("192.0.2.10"), "Server room UPS");
    EXPECT_EQ(*names.NameOf("10.0.0.1"), "Rack 4 PDU");
    EXPECT_EQ(names.NameOf("192.0.2.1"), nullptr) << "a prefix of a named address is another sender";
    EXPECT_EQ(names.NameOf("192.0.2.12"), nullptr);
    EXPECT_EQ(names.NameOf("192.0.2.011"), nullptr);
}

TEST(DeviceNames, WithoutTheSectionNoSenderHasAName) {
    MapProfileReader file;
    file.Set("usKarn_trap", "192.0.2.10", "in another section");
    DeviceNames names;
    names.Load(file, 1252);
    EXPECT_TRUE(names.Entries().empty());
    EXPECT_EQ(names.NameOf("192.0.2.10"), nullptr);
}

TEST(DeviceNames, AtMostTheLimitOfEntriesAndOfBytesInAName) {
    MapProfileReader file;
    for (std::size_t i = 0; i < kMaxDeviceNames + 5; ++i)
        file.Set("usKarn_names", "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250), "n");
    // 40 Shift-JIS characters ("ア" 0x83 0x41): 80 bytes, cut to whole characters.
    std::string longName;
    for (int i = 0; i < 40; ++i) longName += "\x83\x41";
    file.Set("usKarn_names", "10.0.0.0", longName);
    DeviceNames names;
    names.Load(file, 932);

    EXPECT_EQ(names.Entries().size(), kMaxDeviceNames);
    EXPECT_EQ(names.NameOf("10.0.0." + std::to_string(kMaxDeviceNames)), nullptr);
    ASSERT_NE(names.NameOf("10.0.0.0"), nullptr);
    EXPECT_EQ(*names.NameOf("10.0.0.0"), longName.substr(0, kMaxDeviceNameBytes));
    // An odd limit in bytes would split a character; the cut is one byte shorter then.
    file.Set("usKarn_names", "10.0.0.0", "x" + longName);
    names.Load(file, 932);
    EXPECT_EQ(*names.NameOf("10.0.0.0"), ("x" + longName).substr(0, kMaxDeviceNameBytes - 1));
}
