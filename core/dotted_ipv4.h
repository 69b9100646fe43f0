#pragma once
// Dotted-decimal IPv4 text in the one form inet_ntoa produces.
#include <string>

// Four decimal parts 0..255 without signs, blanks or leading zeros: the form
// that inet_ntoa produces, so an exact text comparison with a sender works.
bool ParseDottedIPv4(const std::string& text, unsigned long& hostOrder);
