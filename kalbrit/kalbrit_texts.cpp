#include "kalbrit/kalbrit_texts.h"

namespace {

struct Pair {
    const char* en;
    const char* ja;
};

const char* Pick(const Pair& p, UiLanguage language) { return language == UiLanguage::Japanese ? p.ja : p.en; }

}  // namespace

UiLanguage ChooseUiLanguage(unsigned short userUiLanguage, unsigned ansiCodePage) {
    const unsigned short kPrimaryJapanese = 0x11;
    return (userUiLanguage & 0x3FF) == kPrimaryJapanese || ansiCodePage == 932 ? UiLanguage::Japanese
                                                                               : UiLanguage::English;
}

const char* TextOf(KalbritText text, UiLanguage language) {
    switch (text) {
    case KalbritText::NothingSaved:
        return Pick({"Nothing has been saved.", "何も保存されていません。"}, language);
    case KalbritText::Saved:
        return Pick({"The trap settings have been saved to", "トラップ設定を保存しました:"}, language);
    case KalbritText::SavedAsAdministrator:
        return Pick({"The trap settings have been saved with administrator rights to",
                     "トラップ設定を管理者の権限で保存しました:"},
                    language);
    case KalbritText::TakesEffect:
        return Pick({"Trap settings take effect when Dovrel is started again.",
                     "トラップ設定は Dovrel を起動し直したときに有効になります。"},
                    language);
    case KalbritText::CannotWrite:
        return Pick({"The settings file cannot be written:", "設定ファイルに書き込めません:"}, language);
    case KalbritText::Utf16File:
        return Pick({"The settings file is stored as Unicode (UTF-16), which Kalbrit does not edit:",
                     "設定ファイルが Unicode (UTF-16) で保存されているため、Kalbrit では編集できません:"},
                    language);
    case KalbritText::NeedsAdministrator:
        return Pick({"Saving the settings file needs administrator rights, and they were not given. "
                     "Ask an administrator to save the settings.",
                     "設定ファイルの保存には管理者の権限が必要ですが、許可されませんでした。"
                     "管理者に設定の保存を依頼してください。"},
                    language);
    case KalbritText::CannotElevate:
        return Pick({"Saving the settings file needs administrator rights, but Kalbrit could not ask for them:",
                     "設定ファイルの保存には管理者の権限が必要ですが、権限を要求できませんでした:"},
                    language);
    case KalbritText::FailedAsAdministrator:
        return Pick({"Even with administrator rights the settings file could not be written:",
                     "管理者の権限でも設定ファイルに書き込めませんでした:"},
                    language);
    }
    return "";
}

const char* FieldLabel(TrapField field, UiLanguage language) {
    switch (field) {
    case TrapField::Port: return Pick({"Port", "ポート"}, language);
    case TrapField::Timeout: return Pick({"Receive timeout", "受信タイムアウト"}, language);
    case TrapField::Community: return Pick({"Community", "コミュニティ"}, language);
    case TrapField::Target: return Pick({"Target", "対象アドレス"}, language);
    case TrapField::Prohibition: return Pick({"Prohibition mask", "禁止マスク"}, language);
    }
    return "";
}

const char* ProblemText(FormProblem problem, UiLanguage language) {
    switch (problem) {
    case FormProblem::PortRange:
        return Pick({"Port must be a whole number from 1 to 65535.",
                     "ポートには 1 から 65535 までの整数を入力してください。"},
                    language);
    case FormProblem::TimeoutRange:
        return Pick({"Receive timeout must be a whole number of seconds from 1 to 60.",
                     "受信タイムアウトには 1 から 60 までの秒数 (整数) を入力してください。"},
                    language);
    case FormProblem::CommunityEmpty:
        return Pick({"Community must not be empty.", "コミュニティを入力してください。"}, language);
    case FormProblem::CommunityTooLong:
        return Pick({"Community must be at most 256 bytes long.",
                     "コミュニティは 256 バイト以内にしてください。"},
                    language);
    case FormProblem::CommunityControl:
        return Pick({"Community must not contain control characters.",
                     "コミュニティに制御文字は使えません。"},
                    language);
    case FormProblem::CommunityBlankEnds:
        return Pick({"Community must not begin or end with a blank.",
                     "コミュニティの先頭と末尾に空白は使えません。"},
                    language);
    case FormProblem::CommunityQuoted:
        return Pick({"Community must not be enclosed in quotes.",
                     "コミュニティ全体を引用符で囲むことはできません。"},
                    language);
    case FormProblem::TargetNotAddress:
        return Pick({"Target must be a dotted IPv4 address such as 192.168.1.10, or choose all senders.",
                     "対象アドレスには 192.168.1.10 のような IPv4 アドレスを入力するか、"
                     "「すべての送信元」を選んでください。"},
                    language);
    case FormProblem::TargetZero:
        return Pick({"Target 0.0.0.0 names no sender; enter the sender's address.",
                     "対象アドレス 0.0.0.0 はどの送信元も指しません。送信元のアドレスを入力してください。"},
                    language);
    case FormProblem::MaskNotAddress:
        return Pick({"Prohibition mask must be a dotted IPv4 mask such as 255.255.255.0, or choose none.",
                     "禁止マスクには 255.255.255.0 のような IPv4 マスクを入力するか、"
                     "「禁止マスクなし」を選んでください。"},
                    language);
    case FormProblem::MaskWithoutTarget:
        return Pick({"Prohibition mask needs a target address; with all senders it would block every trap.",
                     "禁止マスクには対象アドレスが必要です。すべての送信元のままでは、すべてのトラップが遮断されます。"},
                    language);
    case FormProblem::MaskBlocksAll:
        return Pick({"Prohibition mask and target have no bit in common, so every trap would be blocked.",
                     "禁止マスクと対象アドレスに共通するビットがないため、すべてのトラップが遮断されます。"},
                    language);
    }
    return "";
}
