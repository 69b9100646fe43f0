#include "win/file_read_win32.h"

#include "win/handles.h"

DWORD ReadWholeFile(const std::wstring& path, std::string& bytes, uint64_t limit) {
    bytes.clear();
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return GetLastError();
    if (static_cast<uint64_t>(size.QuadPart) > limit) return ERROR_FILE_TOO_LARGE;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done < (1u << 20) ? bytes.size() - done : (1u << 20));
        if (!ReadFile(file.Get(), &bytes[done], chunk, &n, nullptr)) return GetLastError();
        if (n == 0) break;  // shortened meanwhile
        done += n;
    }
    bytes.resize(done);
    return ERROR_SUCCESS;
}
