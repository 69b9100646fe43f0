#include "kalbrit/keyed_list.h"

#include "kalbrit/profile_value.h"

namespace {

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool Lists(const std::vector<SectionValue>& entries, const std::string& key) {
    for (const SectionValue& e : entries)
        if (SameKey(e.key, key)) return true;
    return false;
}

}  // namespace

std::optional<ListError> CheckEntry(const ListRules& rules, const SectionValue& entry) {
    if (!rules.KeyValid(entry.key)) return ListError{ListField::Key, ListProblem::KeyInvalid};
    if (entry.value.empty()) return ListError{ListField::Value, ListProblem::ValueEmpty};
    if (entry.value.size() > rules.MaxValueBytes()) return ListError{ListField::Value, ListProblem::ValueTooLong};
    switch (ProfileValueShape(entry.value)) {
    case ValueShape::Control: return ListError{ListField::Value, ListProblem::ValueControl};
    case ValueShape::BlankEnds: return ListError{ListField::Value, ListProblem::ValueBlankEnds};
    case ValueShape::Quoted: return ListError{ListField::Value, ListProblem::ValueQuoted};
    case ValueShape::Fine: break;
    }
    return std::nullopt;
}

KeyedList::KeyedList(const ListRules& rules, std::vector<SectionValue> loaded)
    : rules_(rules), loaded_(loaded), entries_(std::move(loaded)) {}

std::optional<ListError> KeyedList::Check(const SectionValue& entry, std::size_t ignored) const {
    if (auto error = CheckEntry(rules_, entry)) return error;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (i != ignored && SameKey(entries_[i].key, entry.key)) return ListError{ListField::Key, ListProblem::KeyTaken};
    return std::nullopt;
}

std::optional<ListError> KeyedList::Add(const SectionValue& entry) {
    if (entries_.size() >= rules_.MaxEntries()) return ListError{ListField::Key, ListProblem::Full};
    if (auto error = Check(entry, entries_.size())) return error;
    entries_.push_back(entry);
    return std::nullopt;
}

std::optional<ListError> KeyedList::Change(std::size_t index, const SectionValue& entry) {
    if (index >= entries_.size()) return ListError{ListField::Key, ListProblem::KeyInvalid};
    if (auto error = Check(entry, index)) return error;
    entries_[index] = entry;
    return std::nullopt;
}

void KeyedList::Remove(std::size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool KeyedList::Changed() const {
    if (entries_.size() != loaded_.size()) return true;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key != loaded_[i].key || entries_[i].value != loaded_[i].value) return true;
    return false;
}

SectionEdit ListRules::EditOf(const std::vector<SectionValue>& entries, const std::vector<SectionValue>& loaded) const {
    SectionEdit edit{Section(), entries, {}};
    for (const SectionValue& old : loaded)
        if (!Lists(entries, old.key)) edit.removed.push_back(old.key);
    return edit;
}

bool ListRules::IsEdit(const SectionEdit& edit) const {
    if (edit.section != Section()) return false;
    KeyedList list(*this, {});
    for (const SectionValue& entry : edit.set)
        if (list.Add(entry)) return false;
    for (const std::string& key : edit.removed)
        if (!KeyValid(key)) return false;
    return true;
}
