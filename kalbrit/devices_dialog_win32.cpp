#include "kalbrit/devices_dialog_win32.h"

#include "kalbrit/device_list.h"
#include "kalbrit/resource.h"
#include "win/win32_profile_reader.h"

namespace {

class DeviceListKind final : public ListDialogKind {
public:
    const ListRules& Rules() const override { return rules_; }
    int ListTemplate() const override { return IDD_DEVICES; }
    int EntryTemplate() const override { return IDD_DEVICE_ENTRY; }
    std::vector<std::wstring> Columns(UiLanguage language) const override {
        if (language == UiLanguage::Japanese) return {L"\u30A2\u30C9\u30EC\u30B9", L"\u540D\u524D"};  // アドレス, 名前
        return {L"Address", L"Name"};
    }

private:
    DeviceListRules rules_;
};

}  // namespace

void RunDevicesDialog(HWND owner, UiLanguage language, const std::string& path, const SaveListEdit& save) {
    Win32ProfileReader reader(path);
    DeviceNames names;
    names.Load(reader, GetACP());
    const DeviceListKind kind;
    RunListDialog(owner, language, kind, DeviceListEntries(names), save);
}
