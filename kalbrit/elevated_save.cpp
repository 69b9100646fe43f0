#include "kalbrit/elevated_save.h"

#include <algorithm>
#include <sstream>

#include "core/hex_text.h"
#include "kalbrit/device_list.h"
#include "kalbrit/v3_user_list.h"

namespace {

// A list's save removes at most as many keys as Dovrel reads in any section.
constexpr std::size_t kMaxRemovedKeys = std::max(kMaxUsers, kMaxDeviceNames);

// The rules of the list that Kalbrit keeps in section, or null when it keeps
// none there: the elevated copy writes no other section.
const ListRules* ListRulesOfSection(const std::string& section) {
    static const DeviceListRules devices;
    static const V3UserListRules users;
    if (section == devices.Section()) return &devices;
    return section == users.Section() ? &users : nullptr;
}

constexpr char kSwitch[] = "/save-elevated";
constexpr char kListSwitch[] = "/save-list-elevated";

std::string Hex(const std::string& bytes) {
    return HexText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool Unhex(const std::string& text, std::string& bytes) {
    if (text.size() % 2) return false;
    bytes.assign(text.size() / 2, '\0');
    return ParseHexText(text, reinterpret_cast<uint8_t*>(&bytes[0]), bytes.size());
}

// The form these values come from, so the elevated copy checks them as the
// dialog did.
TrapForm FormOf(const std::vector<std::string>& v) {
    TrapForm form;
    form.english = v[0] == "English";
    form.port = v[1];
    form.timeout = v[2];
    form.community = v[3];
    form.allSenders = v[4] == "alls";
    form.target = form.allSenders ? std::string() : v[4];
    form.noProhibition = v[5] == "none";
    form.prohibition = form.noProhibition ? std::string() : v[5];
    form.acceptV2c = v[6] == "1";
    form.mergeRepeats = v[7] == "1";
    return form;
}

}  // namespace

std::string ElevatedSaveArguments(const std::string& path, const std::vector<TrapSetting>& settings) {
    std::string line = std::string(kSwitch) + " " + Hex(path);
    for (const TrapSetting& s : settings) line += std::string(" ") + s.key + "=" + Hex(s.value);
    return line;
}

ElevatedSaveLine ParseElevatedSave(const std::string& commandLine, ElevatedSave& save) {
    std::istringstream in(commandLine);
    std::string word;
    if (!(in >> word) || word != kSwitch) return ElevatedSaveLine::Absent;

    std::string path;
    if (!(in >> word) || !Unhex(word, path) || path.empty()) return ElevatedSaveLine::Invalid;
    // The keys and their order are the form's own.
    const std::vector<TrapSetting> keys = TrapSettingsFromForm(TrapForm{});
    std::vector<std::string> values;
    for (const TrapSetting& key : keys) {
        std::string value;
        if (!(in >> word) || word.compare(0, std::string(key.key).size() + 1, std::string(key.key) + "=") != 0 ||
            !Unhex(word.substr(std::string(key.key).size() + 1), value))
            return ElevatedSaveLine::Invalid;
        values.push_back(value);
    }
    if (in >> word) return ElevatedSaveLine::Invalid;

    TrapForm form = FormOf(values);
    if (ValidateTrapForm(form)) return ElevatedSaveLine::Invalid;
    std::vector<TrapSetting> settings = TrapSettingsFromForm(form);
    for (std::size_t i = 0; i < settings.size(); ++i)
        if (settings[i].value != values[i]) return ElevatedSaveLine::Invalid;
    save.path = path;
    save.settings = settings;
    return ElevatedSaveLine::Valid;
}

std::string ElevatedListArguments(const std::string& path, const SectionEdit& edit) {
    std::string line = std::string(kListSwitch) + " " + Hex(edit.section) + " " + Hex(path);
    for (const SectionValue& s : edit.set) line += " " + Hex(s.key) + "=" + Hex(s.value);
    for (const std::string& key : edit.removed) line += " -" + Hex(key);
    return line;
}

ElevatedSaveLine ParseElevatedListSave(const std::string& commandLine, ElevatedSectionSave& save) {
    std::istringstream in(commandLine);
    std::string word;
    if (!(in >> word) || word != kListSwitch) return ElevatedSaveLine::Absent;

    ElevatedSectionSave parsed;
    if (!(in >> word) || !Unhex(word, parsed.edit.section)) return ElevatedSaveLine::Invalid;
    const ListRules* rules = ListRulesOfSection(parsed.edit.section);
    if (!rules) return ElevatedSaveLine::Invalid;
    if (!(in >> word) || !Unhex(word, parsed.path) || parsed.path.empty()) return ElevatedSaveLine::Invalid;
    while (in >> word) {
        SectionValue entry;
        std::string key;
        const std::size_t equals = word.find('=');
        if (word[0] == '-' && parsed.edit.removed.size() < kMaxRemovedKeys && Unhex(word.substr(1), key)) {
            parsed.edit.removed.push_back(key);
        } else if (equals != std::string::npos && parsed.edit.removed.empty() &&
                   Unhex(word.substr(0, equals), entry.key) && Unhex(word.substr(equals + 1), entry.value)) {
            parsed.edit.set.push_back(entry);
        } else {
            return ElevatedSaveLine::Invalid;
        }
    }
    if (!IsListEdit(*rules, parsed.edit)) return ElevatedSaveLine::Invalid;
    save = parsed;
    return ElevatedSaveLine::Valid;
}

ElevatedSaveLine ParseAnyElevatedSave(const std::string& commandLine, ElevatedSectionSave& save) {
    ElevatedSave trap;
    const ElevatedSaveLine line = ParseElevatedSave(commandLine, trap);
    if (line == ElevatedSaveLine::Valid) save = {trap.path, TrapSectionEdit(trap.settings)};
    if (line != ElevatedSaveLine::Absent) return line;
    return ParseElevatedListSave(commandLine, save);
}
