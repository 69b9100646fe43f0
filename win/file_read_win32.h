#pragma once
// Reading a whole file at once.
#include <windows.h>

#include <cstdint>
#include <string>

// The file's bytes; the error of the open or read otherwise (ERROR_SUCCESS
// when read). Every kind of sharing is allowed, since the file may be
// written, rotated or replaced meanwhile; a file larger than limit reads as
// ERROR_FILE_TOO_LARGE.
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes, uint64_t limit = UINT64_C(64) << 20);
