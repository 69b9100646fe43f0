#pragma once
// Comparisons of ANSI strings in a multibyte code page.
#include <string>

// True when b is a Shift-JIS (code page 932) lead byte.
bool IsShiftJisLeadByte(unsigned char b);

// Whole-string comparison without regard to letter case. In code page 932 a
// double-byte character is compared as one character, never split, and the
// full-width Latin letters fold like the single-byte ones; in any other code
// page it is a plain case-insensitive byte comparison.
bool MbsEqualNoCase(const char* a, const char* b, unsigned codePage);
