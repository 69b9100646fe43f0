#pragma once
// Writes the trap values into the bytes of a settings file, the way a text
// editor would: the lines of the trap keys in [usKarn_trap] get their new
// values and every other byte (comments, blank lines, CRLF, Shift-JIS
// catalogue texts) stays as it was. Kalbrit saves through this rather than
// WritePrivateProfileStringA so that a save can be written to a copy first
// and put in place in one step.
#include <string>
#include <vector>

#include "kalbrit/trap_form.h"

// One key and its value in a section.
struct SectionValue {
    std::string key;
    std::string value;
    // The value an absent key has; such a key is not added to a section that
    // lacks it while it keeps that value. Null: always written.
    const char* absentMeans = nullptr;
};

// What a save changes in one section: the keys to set, in order, and the
// keys whose lines go.
struct SectionEdit {
    std::string section;
    std::vector<SectionValue> set;
    std::vector<std::string> removed;  // every line of each such key
};

// The file's bytes with each key line of set in the first section of that
// name replaced (the text up to '=' kept), every line of a removed key
// dropped, keys the section lacks added after its last key line, and a
// missing section added at the end (none when nothing is set). Lines of
// other keys, comments, blank lines and every other section stay as they
// are. Section and key names compare without regard to ASCII case, as the
// profile functions do.
std::string WithSectionEdit(const std::string& file, const SectionEdit& edit);

// The trap settings as an edit of [usKarn_trap].
SectionEdit TrapSectionEdit(const std::vector<TrapSetting>& settings);

// The file's bytes with each setting's key line in the first [usKarn_trap]
// section replaced (the text up to '=' kept); keys the section lacks are
// added after its last key line (not one that keeps the value its absence
// means), and a missing section is added at the end.
// Section and key names compare without regard to ASCII case, as the
// profile functions do.
std::string WithTrapSettings(const std::string& file, const std::vector<TrapSetting>& settings);

// True for a UTF-16 file (byte-order mark FF FE or FE FF): the profile
// functions read it as Unicode, and byte editing would spoil it.
bool IsUtf16Text(const std::string& file);
