#include "kalbrit/device_list.h"

#include "core/dotted_ipv4.h"

static_assert(kMaxDeviceNames == 128 && kMaxDeviceNameBytes == 64, "the problem texts name these bounds");

bool DeviceListRules::KeyValid(const std::string& key) const {
    unsigned long address = 0;
    return ParseDottedIPv4(key, address);
}

const char* DeviceListRules::ProblemText(ListProblem problem, UiLanguage language) const {
    const bool ja = language == UiLanguage::Japanese;
    switch (problem) {
    case ListProblem::KeyInvalid:
        return ja ? "アドレスには 192.0.2.10 のような IPv4 アドレスを入力してください。"
                  : "Address must be a dotted IPv4 address such as 192.0.2.10.";
    case ListProblem::ValueEmpty: return ja ? "名前を入力してください。" : "Name must not be empty.";
    case ListProblem::ValueTooLong:
        return ja ? "名前は 64 バイト (全角 32 文字) 以内にしてください。"
                  : "Name must be at most 64 bytes long.";
    case ListProblem::ValueControl: return ja ? "名前に制御文字は使えません。" : "Name must not contain control characters.";
    case ListProblem::ValueBlankEnds:
        return ja ? "名前の先頭と末尾に空白は使えません。" : "Name must not begin or end with a blank.";
    case ListProblem::ValueQuoted:
        return ja ? "名前全体を引用符で囲むことはできません。" : "Name must not be enclosed in quotes.";
    case ListProblem::KeyTaken:
        return ja ? "このアドレスには既に名前があります。" : "This address has a name already.";
    case ListProblem::Full:
        return ja ? "機器は 128 台までです。" : "The list holds at most 128 devices.";
    }
    return "";
}

std::vector<SectionValue> DeviceListEntries(const DeviceNames& names) {
    std::vector<SectionValue> entries;
    for (const DeviceName& device : names.Entries()) entries.push_back({device.address, device.name});
    return entries;
}
