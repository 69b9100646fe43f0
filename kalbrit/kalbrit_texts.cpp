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
    case KalbritText::OfferRestart:
        return Pick({"Dovrel is running with the trap settings it was started with. "
                     "Restart Dovrel now so that the new settings take effect?",
                     "Dovrel は起動したときのトラップ設定で動作しています。"
                     "新しい設定を有効にするため、今すぐ Dovrel を起動し直しますか?"},
                    language);
    case KalbritText::OfferStart:
        return Pick({"Dovrel is not running, so no traps are being received. Start Dovrel now?",
                     "Dovrel が動作していないため、トラップを受信していません。今すぐ Dovrel を起動しますか?"},
                    language);
    case KalbritText::Restarted:
        return Pick({"Dovrel is running with the saved settings and receives traps on port",
                     "Dovrel は保存した設定で動作しています。トラップの受信ポート:"},
                    language);
    case KalbritText::NoInstallPath:
        return Pick({"Dovrel's install folder is not recorded in the registry, so Kalbrit cannot start it. "
                     "Start Dovrel from the Start menu, or install Dovrel again.",
                     "Dovrel のインストール先がレジストリに記録されていないため、Kalbrit からは起動できません。"
                     "スタート メニューから Dovrel を起動するか、Dovrel をインストールし直してください。"},
                    language);
    case KalbritText::FinwinMissing:
        return Pick({"The running Dovrel was not ended: Finwin.dll could not be loaded from",
                     "動作中の Dovrel を終了できませんでした。Finwin.dll を読み込めません:"},
                    language);
    case KalbritText::StillRunning:
        return Pick({"The running Dovrel did not end. End it with QUIT in its notification-area menu and start it "
                     "again from the Start menu.",
                     "動作中の Dovrel が終了しませんでした。通知領域のメニューの QUIT で終了し、"
                     "スタート メニューから起動し直してください。"},
                    language);
    case KalbritText::CannotStart:
        return Pick({"Dovrel could not be started:", "Dovrel を起動できませんでした:"}, language);
    case KalbritText::NotStartedElevated:
        return Pick({"Kalbrit runs with administrator rights, and Dovrel must not: it receives traps from the "
                     "network. The desktop could not be asked to start Dovrel with your own rights, so it was not "
                     "started. Start Dovrel from the Start menu (Dovrel > Dovrel).",
                     "Kalbrit は管理者の権限で動作していますが、ネットワークからトラップを受信する Dovrel を"
                     "管理者の権限で動かすことはできません。デスクトップにあなた自身の権限での起動を依頼できなかったため、"
                     "Dovrel は起動していません。スタート メニュー (Dovrel > Dovrel) から起動してください。"},
                    language);
    case KalbritText::DidNotComeUp:
        return Pick({"Dovrel was started but is not receiving traps: it ended or shows its start-up warning. "
                     "Port:",
                     "Dovrel を起動しましたが、トラップを受信していません (終了したか、起動時の警告を表示しています)。"
                     "ポート:"},
                    language);
    case KalbritText::WhatToCheck:
        return Pick({"Check that no other program receives on this port: Windows' \"SNMP Trap\" service holds "
                     "port 162 while it runs, and \"netstat -ano -p udp\" shows which process holds a port. "
                     "Stop that program or choose another port here, then start Dovrel again.",
                     "このポートで受信しているほかのプログラムがないか確認してください。Windows の "
                     "\"SNMP Trap\" サービスは動作中ポート 162 を使用します。どのプロセスがポートを使用しているかは "
                     "\"netstat -ano -p udp\" で確認できます。そのプログラムを停止するか、ここで別のポートを選んでから、"
                     "Dovrel を起動し直してください。"},
                    language);
    case KalbritText::TestSent:
        return Pick({"A test trap (coldStart) has been sent to this computer, 127.0.0.1, with the saved "
                     "community, on port",
                     "テスト トラップ (coldStart) を保存したコミュニティでこのコンピューター (127.0.0.1) に送信しました。"
                     "ポート:"},
                    language);
    case KalbritText::TestExpect:
        return Pick({"Within about ten seconds Dovrel should show this alert:",
                     "10 秒ほどで Dovrel が次の警告を表示するはずです:"},
                    language);
    case KalbritText::TestRefusedBySenders:
        return Pick({"The saved sender settings (\"Only the target\" or the mask) refuse traps from 127.0.0.1, "
                     "so Dovrel will not show this test. That is by design, not a fault.",
                     "保存した送信元の設定 (「対象アドレスのみ」 または禁止マスク) では 127.0.0.1 からのトラップが"
                     "拒否されるため、このテストの警告は表示されません。これは設定どおりの動作で、故障ではありません。"},
                    language);
    case KalbritText::TestNotRunning:
        return Pick({"Dovrel is not running, so no alert will appear. Start Dovrel and send the test again.",
                     "Dovrel が動作していないため、警告は表示されません。Dovrel を起動してからもう一度送信してください。"},
                    language);
    case KalbritText::TestLimits:
        return Pick({"The test comes from this computer: with \"Only the target\" or a mask that excludes "
                     "127.0.0.1, Dovrel refuses it by design. A firewall does not filter traffic within this "
                     "computer (loopback), so a test that shows does not prove that traps from a device get "
                     "through.",
                     "テストはこのコンピューターから送信されます。「対象アドレスのみ」 や 127.0.0.1 を除外する"
                     "禁止マスクの設定では、Dovrel は設定どおりこれを拒否します。また、ファイアウォールはこの"
                     "コンピューター内の通信 (ループバック) を遮断しないため、テストの警告が表示されても、"
                     "機器からのトラップが届くことの証明にはなりません。"},
                    language);
    case KalbritText::TestUsesSaved:
        return Pick({"The test uses the saved settings, not unsaved changes in the form, and Dovrel uses the "
                     "settings it was started with.",
                     "テストには保存済みの設定が使われます (フォームの未保存の変更は使われません)。"
                     "また Dovrel は起動したときの設定で動作します。"},
                    language);
    case KalbritText::TestSettingsInvalid:
        return Pick({"No test trap was sent: the saved settings are not valid. Correct them and save first.",
                     "テスト トラップは送信されませんでした。保存されている設定が正しくありません。"
                     "修正して保存してから送信してください。"},
                    language);
    case KalbritText::TestNotSent:
        return Pick({"The test trap could not be sent:", "テスト トラップを送信できませんでした:"}, language);
    case KalbritText::TestPublicNetwork:
        return Pick({"This computer's network is set to Public, and Dovrel's firewall rule allows traps on domain "
                     "and private networks only: traps from devices are blocked until the network is made "
                     "private in Windows' network settings, or the installer is run again with /FIREWALL=all.",
                     "このコンピューターのネットワークは「パブリック」に設定されていますが、Dovrel のファイアウォール規則は"
                     "ドメインとプライベートのネットワークでのみトラップを許可しています。Windows のネットワーク設定で"
                     "ネットワークをプライベートにするか、インストーラーを /FIREWALL=all を付けて実行し直すまで、"
                     "機器からのトラップは遮断されます。"},
                    language);
    case KalbritText::TestNoFirewallRule:
        return Pick({"The installer added no firewall rule for Dovrel (/FIREWALL=none): traps from devices arrive "
                     "only if your administrator allows them through the firewall.",
                     "インストーラーは Dovrel のファイアウォール規則を追加していません (/FIREWALL=none)。"
                     "機器からのトラップは、管理者がファイアウォールで許可した場合にのみ届きます。"},
                    language);
    case KalbritText::TestRefusedSoFar:
        return Pick({"Since it started, Dovrel has refused traps that it therefore did not show:",
                     "Dovrel は起動してから、次のトラップを拒否したため表示していません:"},
                    language);
    case KalbritText::DevicesSaved:
        return Pick({"The device names have been saved to", "機器の名前を保存しました:"}, language);
    case KalbritText::DevicesSavedAsAdministrator:
        return Pick({"The device names have been saved with administrator rights to",
                     "機器の名前を管理者の権限で保存しました:"},
                    language);
    case KalbritText::UsersSaved:
        return Pick({"The SNMPv3 users have been saved to", "SNMPv3 ユーザーを保存しました:"}, language);
    case KalbritText::UsersSavedAsAdministrator:
        return Pick({"The SNMPv3 users have been saved with administrator rights to",
                     "SNMPv3 ユーザーを管理者の権限で保存しました:"},
                    language);
    case KalbritText::TestSentAsUser:
        return Pick({"A test trap (coldStart) has been sent to this computer, 127.0.0.1, as an SNMPv3 notification "
                     "signed (and, with privacy, encrypted) with the saved keys of the user",
                     "テスト トラップ (coldStart) を、保存した鍵で署名 (暗号化ありのときは暗号化) した SNMPv3 の通知として"
                     "このコンピューター (127.0.0.1) に送信しました。ユーザー:"},
                    language);
    case KalbritText::TestSentPort: return Pick({", on port", "、ポート:"}, language);
    case KalbritText::TestUserUnsupported:
        return Pick({"No test trap was sent: this user's protocols (DES, or a hash this computer lacks) cannot be "
                     "used, and Dovrel refuses its notifications.",
                     "テスト トラップは送信されませんでした。このユーザーのプロトコル (DES、またはこのコンピューターにない"
                     "ハッシュ) は使えないため、Dovrel はこのユーザーの通知を拒否します。"},
                    language);
    case KalbritText::ColourRed: return Pick({"red", "赤"}, language);
    case KalbritText::ColourOrange: return Pick({"orange", "オレンジ"}, language);
    case KalbritText::ColourGreen: return Pick({"green", "緑"}, language);
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
