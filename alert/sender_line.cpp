#include "alert/sender_line.h"

#include <vector>

#include "core/mbcs.h"

namespace {
const char kSenderPrefix[] = "From: ";
}  // namespace

std::string SenderLine(const std::string& fromText) { return kSenderPrefix + fromText; }

std::string SenderAddress(const std::string& senderLine) {
    const std::string prefix(kSenderPrefix);
    if (senderLine.compare(0, prefix.size(), prefix) == 0) return senderLine.substr(prefix.size());
    return senderLine;
}

std::string NamedSenderLine(const std::string& name, const std::string& address) {
    return kSenderPrefix + name + " (" + address + ")";
}

std::string FitNamedSenderLine(const std::string& name, const std::string& address, const std::string& ellipsis,
                               unsigned codePage, int width, const TextWidth& measure) {
    const std::string whole = NamedSenderLine(name, address);
    if (measure(whole) <= width) return whole;
    // Every place the name may end, between two characters, longest first.
    std::vector<std::size_t> ends;
    for (std::size_t at = 0; at < name.size(); at += CharacterBytes(name, at, codePage)) ends.push_back(at);
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        std::size_t end = *it;
        while (end > 0 && (name[end - 1] == ' ' || name[end - 1] == '\t')) --end;
        const std::string cut = NamedSenderLine(name.substr(0, end) + ellipsis, address);
        if (measure(cut) <= width) return cut;
    }
    return SenderLine(address);
}
