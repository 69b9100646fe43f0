#pragma once
// Whether a text reads back from Dovrel.ini as it was written: the profile
// functions end a value at the line break, drop blanks around it and one pair
// of enclosing quotes.
#include <string>

enum class ValueShape { Fine, Control, BlankEnds, Quoted };

ValueShape ProfileValueShape(const std::string& value);
