#pragma once
// Comparisons and cuts of ANSI strings in a multibyte code page.
#include <cstddef>
#include <string>

constexpr unsigned kShiftJisCodePage = 932;

// True when b is a Shift-JIS (code page 932) lead byte.
bool IsShiftJisLeadByte(unsigned char b);

// True when b starts a double-byte character in the given ANSI code page:
// 932 (Shift-JIS), 936 (GBK), 949 (Unified Hangul), 950 (Big5) and
// 1361 (Johab). Always false in a single-byte code page.
bool IsDoubleByteLeadByte(unsigned char b, unsigned codePage);

// Whole-string comparison without regard to letter case. In a double-byte
// code page a double-byte character is compared as one character, never
// split, and the full-width Latin letters fold like the single-byte ones
// (932, 936, 949, 950); in any other code page it is a plain
// case-insensitive byte comparison. A null pointer is the empty string.
bool MbsEqualNoCase(const char* a, const char* b, unsigned codePage);

// s without the blanks and tabs at either end (neither is ever the second
// byte of a double-byte character).
std::string Trim(const std::string& s);

// Bytes of the character that begins at s[i]: 2 for a lead byte with a byte
// after it in a double-byte code page, else 1.
std::size_t CharacterBytes(const std::string& s, std::size_t i, unsigned codePage);

// The longest beginning of s of at most maxBytes bytes that ends between two
// characters, so that no double-byte character is ever cut in half.
std::string CutAtCharacter(const std::string& s, std::size_t maxBytes, unsigned codePage);

// The length of the longest prefix of text within maxBytes that does not
// end inside a double-byte character of the code page.
std::size_t CharBoundaryPrefix(const std::string& text, std::size_t maxBytes, unsigned codePage);
