#include "kalbrit/profile_value.h"

ValueShape ProfileValueShape(const std::string& value) {
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F) return ValueShape::Control;
    if (value.empty()) return ValueShape::Fine;
    if (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t')
        return ValueShape::BlankEnds;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return ValueShape::Quoted;
    return ValueShape::Fine;
}
