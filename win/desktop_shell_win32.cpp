#include "win/desktop_shell_win32.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/com_ptr.h"
#include "win/handles.h"

bool ProcessIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    UniqueHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

namespace {

// A BSTR freed when it goes.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};

// The desktop's IShellDispatch2: ShellWindows -> the desktop window's
// browser -> its active view -> the view's background object -> the
// application object.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& shell) {
    ComPtr<IShellWindows> windows;
    HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, windows.OutVoid());
    if (FAILED(hr)) return hr;
    VARIANT desktop;
    VariantInit(&desktop);
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT empty;
    VariantInit(&empty);
    long window = 0;
    ComPtr<IDispatch> found;
    hr = windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.Out());
    if (hr != S_OK || !found) return FAILED(hr) ? hr : E_FAIL;  // S_FALSE: no desktop window

    ComPtr<IServiceProvider> provider;
    if (FAILED(hr = found->QueryInterface(IID_IServiceProvider, provider.OutVoid()))) return hr;
    ComPtr<IShellBrowser> browser;
    if (FAILED(hr = provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid()))) return hr;
    ComPtr<IShellView> view;
    if (FAILED(hr = browser->QueryActiveShellView(view.Out()))) return hr;
    ComPtr<IDispatch> background;
    if (FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid()))) return hr;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(hr = background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid()))) return hr;
    ComPtr<IDispatch> application;
    if (FAILED(hr = folderView->get_Application(application.Out()))) return hr;
    return application->QueryInterface(IID_IShellDispatch2, shell.OutVoid());
}

}  // namespace

HRESULT StartThroughDesktopShell(const std::wstring& program, const std::wstring& folder) {
    ComPtr<IShellDispatch2> shell;
    HRESULT hr = DesktopShellDispatch(shell);
    if (FAILED(hr)) return hr;
    Bstr file(program), directory(folder);
    VARIANT none;
    VariantInit(&none);
    VARIANT inFolder;
    VariantInit(&inFolder);
    inFolder.vt = VT_BSTR;
    inFolder.bstrVal = directory.Get();
    return shell->ShellExecute(file.Get(), none, inFolder, none, none);
}
