#pragma once
// A list of key=value entries kept in one section of Dovrel.ini, as a list
// dialog edits it: what may be added, changed and removed, and the section
// edit that saves it. The Devices list is one; any other list of the kind
// (its own section, key and value rules) uses the same machinery.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "kalbrit/kalbrit_texts.h"
#include "kalbrit/trap_section_edit.h"

enum class ListField { Key, Value };
enum class ListProblem { KeyInvalid, ValueEmpty, ValueTooLong, ValueControl, ValueBlankEnds, ValueQuoted, KeyTaken, Full };
struct ListError {
    ListField field;
    ListProblem problem;
};

// What one kind of list accepts.
class ListRules {
public:
    virtual ~ListRules() = default;
    virtual const char* Section() const = 0;
    virtual std::size_t MaxEntries() const = 0;
    virtual std::size_t MaxValueBytes() const = 0;
    virtual bool KeyValid(const std::string& key) const = 0;
    // The problem worded for this list, e.g. "Address must be ...".
    virtual const char* ProblemText(ListProblem problem, UiLanguage language) const = 0;
    // The section edit that saves entries over loaded: by default each entry
    // is its own key line, and every loaded key no longer listed is removed.
    virtual SectionEdit EditOf(const std::vector<SectionValue>& entries,
                               const std::vector<SectionValue>& loaded) const;
    // Whether edit is one a KeyedList under these rules could have made: by
    // default its section, valid and distinct entries within MaxEntries,
    // valid keys removed.
    virtual bool IsEdit(const SectionEdit& edit) const;
};

// The first problem of one entry on its own (its key, then its value): a
// value must read back from the file exactly as it was written.
std::optional<ListError> CheckEntry(const ListRules& rules, const SectionValue& entry);

class KeyedList {
public:
    // loaded: the entries as the section holds them now.
    KeyedList(const ListRules& rules, std::vector<SectionValue> loaded);

    const std::vector<SectionValue>& Entries() const { return entries_; }
    // Each refuses, with the reason, an entry CheckEntry refuses, a key
    // another entry has (keys compare without regard to ASCII case, as the
    // profile functions compare them) and an entry past MaxEntries.
    std::optional<ListError> Add(const SectionValue& entry);
    std::optional<ListError> Change(std::size_t index, const SectionValue& entry);
    void Remove(std::size_t index);

    bool Changed() const;
    // The rules' EditOf the entries.
    SectionEdit Edit() const { return rules_.EditOf(entries_, loaded_); }

private:
    std::optional<ListError> Check(const SectionValue& entry, std::size_t ignored) const;

    const ListRules& rules_;
    std::vector<SectionValue> loaded_;
    std::vector<SectionValue> entries_;
};

// The elevated copy checks what it is handed with this.
inline bool IsListEdit(const ListRules& rules, const SectionEdit& edit) { return rules.IsEdit(edit); }
