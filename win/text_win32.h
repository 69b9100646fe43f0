#pragma once
// Text between the ANSI code page, UTF-8 and UTF-16, converted in one place.
#include <windows.h>

#include <string>

// Bytes of codePage (CP_ACP, CP_UTF8, 932, ...) as UTF-16; empty when not
// convertible.
std::wstring Widen(const std::string& text, UINT codePage);
// UTF-16 as bytes of codePage; characters it lacks become its default character.
std::string Narrow(const std::wstring& text, UINT codePage);
// ANSI code page bytes as UTF-8.
std::string AnsiToUtf8(const std::string& ansi);
