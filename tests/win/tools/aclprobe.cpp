// aclprobe: reads and sets the owner and DACL of a file or folder, for the
// installer tests (Wine keeps them; its icacls.exe does nothing).
//
//   aclprobe show PATH        owner=SID
//                             protected=0|1
//                             one line per ACE: A|D|? 0xFLAGS 0xMASK SID
//   aclprobe set PATH SDDL    sets the DACL of SDDL ("D:(A;;0x1301bf;;;BU)..."),
//                             protected when SDDL says "D:P"
// Exit: 0 done, 1 the call failed (error code on stderr), 2 bad usage.
#include <windows.h>
// windows.h first: these need its types.
#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {
std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidA(sid, &text)) return "?";
    std::string result = text;
    LocalFree(text);
    return result;
}

char TypeLetter(BYTE type) {
    if (type == ACCESS_ALLOWED_ACE_TYPE) return 'A';
    if (type == ACCESS_DENIED_ACE_TYPE) return 'D';
    return '?';
}

int Show(const wchar_t* path) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    DWORD error = GetNamedSecurityInfoW(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &dacl, nullptr, &sd);
    if (error != ERROR_SUCCESS) {
        std::fprintf(stderr, "GetNamedSecurityInfoW: %lu\n", error);
        return 1;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    std::printf("owner=%s\nprotected=%d\n", SidText(owner).c_str(), (control & SE_DACL_PROTECTED) ? 1 : 0);
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) break;
        // Allowed and denied ACEs share one layout: header, mask, SID.
        auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        std::printf("%c 0x%x 0x%lx %s\n", TypeLetter(header->AceType), header->AceFlags, ace->Mask,
                    SidText(&ace->SidStart).c_str());
    }
    LocalFree(sd);
    return 0;
}

int Set(const wchar_t* path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) {
        std::fprintf(stderr, "ConvertStringSecurityDescriptorToSecurityDescriptorW: %lu\n", GetLastError());
        return 1;
    }
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED)
                                                                 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                 : UNPROTECTED_DACL_SECURITY_INFORMATION);
    DWORD error = SetNamedSecurityInfoW(const_cast<wchar_t*>(path), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
    LocalFree(sd);
    if (error != ERROR_SUCCESS) {
        std::fprintf(stderr, "SetNamedSecurityInfoW: %lu\n", error);
        return 1;
    }
    return 0;
}
}  // namespace

int main() {
    // The wide command line: paths and SIDs are not bound to the ANSI code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 2;
    int result = 2;
    if (argc == 3 && std::wstring(argv[1]) == L"show") result = Show(argv[2]);
    if (argc == 4 && std::wstring(argv[1]) == L"set") result = Set(argv[2], argv[3]);
    LocalFree(argv);
    return result;
}
