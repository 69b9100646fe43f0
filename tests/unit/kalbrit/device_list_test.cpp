// The Devices list: what it lets the user add, change and remove, the edit
// that saves it, and what its elevated copy accepts on the command line.
#include <gtest/gtest.h>

#include <string>

#include "kalbrit/device_list.h"
#include "kalbrit/elevated_save.h"
#include "support/map_profile_reader.h"

namespace {
const DeviceListRules kRules;

KeyedList Loaded() {
    MapProfileReader file;
    file.Set("usKarn_names", "192.0.2.10", "Server room UPS");
    file.Set("usKarn_names", "192.0.2.11", "Old PDU");
    DeviceNames names;
    names.Load(file, 1252);
    return KeyedList(kRules, DeviceListEntries(names));
}

ListProblem ProblemOf(const std::optional<ListError>& error) { return error ? error->problem : ListProblem::Full; }
}  // namespace

TEST(DeviceList, AddChangeRemoveBecomeOneEditOfTheSection) {
    KeyedList list = Loaded();
    EXPECT_FALSE(list.Changed());
    EXPECT_FALSE(list.Add({"192.0.2.12", "Rack 4"}));
    EXPECT_FALSE(list.Change(0, {"192.0.2.10", "UPS, server room"}));
    list.Remove(1);
    EXPECT_TRUE(list.Changed());

    const SectionEdit edit = list.Edit();
    EXPECT_EQ(edit.section, "usKarn_names");
    ASSERT_EQ(edit.set.size(), 2u);
    EXPECT_EQ(edit.set[0].key + "=" + edit.set[0].value, "192.0.2.10=UPS, server room");
    EXPECT_EQ(edit.set[1].key + "=" + edit.set[1].value, "192.0.2.12=Rack 4");
    ASSERT_EQ(edit.removed.size(), 1u);
    EXPECT_EQ(edit.removed[0], "192.0.2.11");

    // A changed address is the old one removed and the new one set.
    KeyedList moved = Loaded();
    EXPECT_FALSE(moved.Change(1, {"192.0.2.21", "Old PDU"}));
    ASSERT_EQ(moved.Edit().removed.size(), 1u);
    EXPECT_EQ(moved.Edit().removed[0], "192.0.2.11");
}

TEST(DeviceList, RefusesWhatDovrelWouldNotReadBack) {
    KeyedList list = Loaded();
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.10", "again"})), ListProblem::KeyTaken);
    EXPECT_EQ(ProblemOf(list.Change(1, {"192.0.2.10", "again"})), ListProblem::KeyTaken);
    EXPECT_FALSE(list.Change(0, {"192.0.2.10", "same address, new name"}));
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.010", "x"})), ListProblem::KeyInvalid);
    EXPECT_EQ(ProblemOf(list.Add({"ups.example", "x"})), ListProblem::KeyInvalid);
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.30", ""})), ListProblem::ValueEmpty);
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.30", std::string(65, 'n')})), ListProblem::ValueTooLong);
    EXPECT_FALSE(list.Add({"192.0.2.30", std::string(64, 'n')}));
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.31", " UPS"})), ListProblem::ValueBlankEnds);
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.31", "\"UPS\""})), ListProblem::ValueQuoted);
    EXPECT_EQ(ProblemOf(list.Add({"192.0.2.31", "UPS\r\n[usKarn_trap]"})), ListProblem::ValueControl);

    KeyedList full(kRules, {});
    for (std::size_t i = 0; i < kMaxDeviceNames; ++i) ASSERT_FALSE(full.Add({"10.0.0." + std::to_string(i), "n"}));
    EXPECT_EQ(ProblemOf(full.Add({"10.0.1.0", "n"})), ListProblem::Full);
}

TEST(DeviceListElevatedSave, TheEditComesThroughAndNothingElse) {
    KeyedList list = Loaded();
    list.Add({"192.0.2.12", "サーバー室 \"A\" & B"});
    list.Remove(1);
    const std::string path = "C:\\Program Files\\Dovrel\\Dovrel.ini";
    ElevatedSectionSave save;
    ASSERT_EQ(ParseElevatedListSave(ElevatedListArguments(path, list.Edit()), save), ElevatedSaveLine::Valid);
    EXPECT_EQ(save.path, path);
    EXPECT_EQ(save.edit.section, "usKarn_names");
    ASSERT_EQ(save.edit.set.size(), 2u);
    EXPECT_EQ(save.edit.set[1].value, "サーバー室 \"A\" & B");
    ASSERT_EQ(save.edit.removed.size(), 1u);
    EXPECT_EQ(save.edit.removed[0], "192.0.2.11");

    // The trap section's switch is not this one, and no other section or entry gets through.
    EXPECT_EQ(ParseElevatedListSave("/save-elevated 00", save), ElevatedSaveLine::Absent);
    SectionEdit other{"usKarn_trap", {{"port", "1"}}, {}};
    EXPECT_EQ(ParseElevatedListSave(ElevatedListArguments(path, other), save), ElevatedSaveLine::Invalid);
    for (const SectionEdit& bad : {SectionEdit{"usKarn_names", {{"192.0.2.1", "a\r\n[usKarn_trap]\r\nport=1"}}, {}},
                                   SectionEdit{"usKarn_names", {{"192.0.2.1", "a"}, {"192.0.2.1", "b"}}, {}},
                                   SectionEdit{"usKarn_names", {}, {"port"}}}) {
        EXPECT_EQ(ParseElevatedListSave(ElevatedListArguments(path, bad), save), ElevatedSaveLine::Invalid)
            << ElevatedListArguments(path, bad);
    }
    EXPECT_EQ(ParseElevatedListSave(ElevatedListArguments(path, list.Edit()) + " zz", save), ElevatedSaveLine::Invalid);
}
