#include "kalbrit/trap_section_edit.h"

#include <cstddef>

#include "settings/trap_settings.h"

namespace {

struct Line {
    std::size_t begin;  // first byte
    std::size_t end;    // one past the last byte before the line break
    std::size_t next;   // first byte of the next line
};

std::vector<Line> SplitLines(const std::string& s) {
    std::vector<Line> lines;
    std::size_t at = 0;
    // A UTF-8 byte-order mark is not part of the first line's text.
    if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    while (at < s.size()) {
        std::size_t lf = s.find('\n', at);
        std::size_t end = lf == std::string::npos ? s.size() : lf;
        std::size_t next = lf == std::string::npos ? s.size() : lf + 1;
        if (end > at && s[end - 1] == '\r') --end;
        lines.push_back({at, end, next});
        at = next;
    }
    return lines;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& s, std::size_t begin, std::size_t end, const char* name) {
    std::size_t i = begin;
    for (; *name; ++name, ++i)
        if (i >= end || Lower(s[i]) != Lower(*name)) return false;
    return i == end;
}

std::size_t SkipBlanks(const std::string& s, std::size_t i, std::size_t end) {
    while (i < end && (s[i] == ' ' || s[i] == '\t')) ++i;
    return i;
}

std::size_t TrimEnd(const std::string& s, std::size_t begin, std::size_t end) {
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    return end;
}

// The first byte of a line is never a double-byte trail byte, so a '['
// there opens a section in every ANSI code page.
bool IsSectionLine(const std::string& s, const Line& l) {
    std::size_t i = SkipBlanks(s, l.begin, l.end);
    return i < l.end && s[i] == '[';
}

bool IsSection(const std::string& s, const Line& l, const char* name) {
    std::size_t i = SkipBlanks(s, l.begin, l.end);
    if (i >= l.end || s[i] != '[') return false;
    std::size_t close = s.find(']', i + 1);
    if (close == std::string::npos || close >= l.end) return false;
    return SameName(s, SkipBlanks(s, i + 1, close), TrimEnd(s, i + 1, close), name);
}

// Where '=' ends the key of a "key=value" line, or npos. '=' (0x3D) is never
// a trail byte of a double-byte character.
std::size_t EqualsOf(const std::string& s, const Line& l) {
    std::size_t i = SkipBlanks(s, l.begin, l.end);
    if (i >= l.end || s[i] == ';' || s[i] == '[') return std::string::npos;
    std::size_t eq = s.find('=', i);
    return eq < l.end ? eq : std::string::npos;
}

bool IsKeyLine(const std::string& s, const Line& l, const char* key) {
    std::size_t eq = EqualsOf(s, l);
    if (eq == std::string::npos) return false;
    std::size_t b = SkipBlanks(s, l.begin, eq);
    return SameName(s, b, TrimEnd(s, b, eq), key);
}

std::string LineBreakOf(const std::string& s) {
    std::size_t lf = s.find('\n');
    if (lf == std::string::npos) return "\r\n";
    return lf > 0 && s[lf - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

bool IsUtf16Text(const std::string& file) {
    return file.size() >= 2 && ((file[0] == '\xFF' && file[1] == '\xFE') || (file[0] == '\xFE' && file[1] == '\xFF'));
}

std::string WithSectionEdit(const std::string& file, const SectionEdit& edit) {
    const std::vector<Line> lines = SplitLines(file);
    const std::string br = LineBreakOf(file);
    const char* section = edit.section.c_str();
    const std::vector<SectionValue>& settings = edit.set;
    // A key the section lacks gets a line, unless its value is what its
    // absence means: a file without it then stays as it was.
    auto keyLine = [&br](const SectionValue& s) {
        if (s.absentMeans && s.value == s.absentMeans) return std::string();
        return s.key + "=" + s.value + br;
    };

    std::size_t first = 0;  // line after the section header
    for (std::size_t i = 0; i < lines.size() && first == 0; ++i)
        if (IsSection(file, lines[i], section)) first = i + 1;
    if (first == 0) {
        if (settings.empty()) return file;  // nothing to remove from a section that is not there
        std::string out = file;
        if (!out.empty() && out.back() != '\n') out += br;
        out += std::string("[") + section + "]" + br;
        for (const SectionValue& s : settings) out += keyLine(s);
        return out;
    }
    std::size_t last = first;  // one past the section's last line
    while (last < lines.size() && !IsSectionLine(file, lines[last])) ++last;

    // Which line each key writes to; keys the section lacks go after its last key line.
    std::vector<std::size_t> lineOf(settings.size(), lines.size());
    std::vector<bool> removed(lines.size(), false);
    std::size_t lastKeyLine = first - 1;
    for (std::size_t i = first; i < last; ++i) {
        if (EqualsOf(file, lines[i]) != std::string::npos) lastKeyLine = i;
        for (std::size_t k = 0; k < settings.size(); ++k)
            if (lineOf[k] == lines.size() && IsKeyLine(file, lines[i], settings[k].key.c_str())) lineOf[k] = i;
        for (const std::string& key : edit.removed)
            if (IsKeyLine(file, lines[i], key.c_str())) removed[i] = true;
    }

    std::string out;
    out.reserve(file.size() + 256);
    std::size_t copied = 0;
    auto copyTo = [&](std::size_t pos) {
        out.append(file, copied, pos - copied);
        copied = pos;
    };
    for (std::size_t i = first; i < last; ++i) {
        bool written = false;
        for (std::size_t k = 0; k < settings.size(); ++k)
            if (lineOf[k] == i) {
                copyTo(EqualsOf(file, lines[i]) + 1);
                out += settings[k].value;
                copied = lines[i].end;
                written = true;
            }
        const bool dropped = removed[i] && !written;
        if (dropped) {
            copyTo(lines[i].begin);
            copied = lines[i].next;
        }
        if (i == lastKeyLine) {
            if (!dropped) copyTo(lines[i].next);
            std::string added;
            for (std::size_t k = 0; k < settings.size(); ++k)
                if (lineOf[k] == lines.size()) added += keyLine(settings[k]);
            if (!added.empty() && !dropped && lines[i].next == lines[i].end) out += br;  // the file ended without one
            out += added;
        }
    }
    if (lastKeyLine == first - 1) {
        // The section has no key line yet: the new keys follow its header.
        const Line& header = lines[first - 1];
        std::string head = file.substr(0, header.next);
        if (header.next == header.end && !settings.empty()) head += br;
        std::string keys;
        for (const SectionValue& s : settings) keys += keyLine(s);
        return head + keys + file.substr(header.next);
    }
    copyTo(file.size());
    return out;
}

SectionEdit TrapSectionEdit(const std::vector<TrapSetting>& settings) {
    SectionEdit edit{kTrapSection, {}, {}};
    for (const TrapSetting& s : settings) edit.set.push_back({s.key, s.value, s.absentMeans});
    return edit;
}

std::string WithTrapSettings(const std::string& file, const std::vector<TrapSetting>& settings) {
    return WithSectionEdit(file, TrapSectionEdit(settings));
}
