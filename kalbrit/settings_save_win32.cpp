#include "kalbrit/settings_save_win32.h"

#include "kalbrit/trap_section_edit.h"
#include "win/file_read_win32.h"
#include "win/handles.h"
#include "win/text_win32.h"

#ifndef ERROR_DIRECTORY_NOT_SUPPORTED
#define ERROR_DIRECTORY_NOT_SUPPORTED 336L  // "An operation is not supported on a directory."
#endif

namespace {

// Writes and flushes, so that the file put in place is on the disk before
// the old one goes. Closes file.
DWORD WriteAndClose(UniqueHandle file, const std::string& bytes) {
    DWORD result = ERROR_SUCCESS;
    for (std::size_t done = 0; done < bytes.size() && result == ERROR_SUCCESS;) {
        DWORD n = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done < 65536 ? bytes.size() - done : 65536);
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &n, nullptr)) result = GetLastError();
        else done += n;
    }
    if (result == ERROR_SUCCESS && !FlushFileBuffers(file.Get())) result = GetLastError();
    return result;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 0 || path[slash - 1] == ':') return path.substr(0, slash + 1);  // "C:\" or "\"
    return path.substr(0, slash);
}

// A new file with a name of its own in folder, open for writing. Made with
// CreateFileA itself so that its error (ERROR_ACCESS_DENIED in a folder the
// user may not write) is the answer.
DWORD NewFileIn(const std::string& folder, std::string& name, UniqueHandle& file) {
    const std::string base = folder + (folder.back() == '\\' ? "" : "\\") + "~kalbrit" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned n = GetTickCount() & 0xFFFF, tries = 0; tries < 100; ++n, ++tries) {
        name = base + std::to_string(n) + ".tmp";
        file.Reset(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return ERROR_SUCCESS;
        if (GetLastError() != ERROR_FILE_EXISTS) return GetLastError();
    }
    return ERROR_FILE_EXISTS;
}

bool IsBusy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// ReplaceFileA with a backup name, so that no failure leaves the file
// missing: ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves the old file under the
// backup name, and it is moved back. Dovrel may be reading the file for an
// alert at this moment, so a sharing violation is tried again for a while.
DWORD ReplaceKeepingOld(const std::string& path, const std::string& replacement, const std::string& folder) {
    std::string backup;
    UniqueHandle reserved;
    if (DWORD error = NewFileIn(folder, backup, reserved)) return error;
    reserved.Reset();
    DeleteFileA(backup.c_str());  // a name nobody uses; ReplaceFileA makes the file
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (ReplaceFileA(path.c_str(), replacement.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
            DeleteFileA(backup.c_str());
            return ERROR_SUCCESS;
        }
        error = GetLastError();
        if (!IsBusy(error)) break;
        Sleep(100);
    }
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        MoveFileExA(backup.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(backup.c_str());
    return error;
}

}  // namespace

DWORD SaveTrapSettingsToFile(const std::string& path, const std::vector<TrapSetting>& settings,
                             bool overrideReadOnly) {
    return SaveSectionEditToFile(path, TrapSectionEdit(settings), overrideReadOnly);
}

DWORD SaveSectionEditToFile(const std::string& path, const SectionEdit& edit, bool overrideReadOnly) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return GetLastError();
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_DIRECTORY_NOT_SUPPORTED;

    std::string bytes;
    if (exists) {
        if (DWORD error = ReadWholeFile(Widen(path, CP_ACP), bytes)) return error;
        if (IsUtf16Text(bytes)) return kErrorUtf16SettingsFile;
        // Replacing a read-only file fails half-way on some systems; and an
        // unelevated Kalbrit leaves the attribute alone and asks for elevation.
        if ((attributes & FILE_ATTRIBUTE_READONLY) && !overrideReadOnly) return ERROR_ACCESS_DENIED;
    }

    const std::string folder = FolderOf(path);
    std::string copy;
    UniqueHandle file;
    if (DWORD error = NewFileIn(folder, copy, file)) return error;
    if (DWORD error = WriteAndClose(std::move(file), WithSectionEdit(bytes, edit))) {
        DeleteFileA(copy.c_str());
        return error;
    }
    if (!exists) {
        DWORD error = MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS : GetLastError();
        if (error) DeleteFileA(copy.c_str());
        return error;
    }

    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        DWORD error = GetLastError();
        DeleteFileA(copy.c_str());
        return error;
    }
    DWORD error = ReplaceKeepingOld(path, copy, folder);
    if (error) DeleteFileA(copy.c_str());
    // The new file takes the old one's attributes, read-only included.
    SetFileAttributesA(path.c_str(), attributes);
    return error;
}
