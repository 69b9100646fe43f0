#pragma once
// Drives a running Kalbrit.exe the way a user does: finds its dialog, types
// into its fields, clicks its buttons and reads the message box it answers with.
#include <windows.h>

#include <string>
#include <vector>

class KalbritSession {
public:
    // Starts Kalbrit.exe with the given argument line, with SW_HIDE as the
    // trap monitor's Setting command does, and waits for its dialog.
    KalbritSession(const std::string& exe, const std::string& arguments);
    ~KalbritSession();
    KalbritSession(const KalbritSession&) = delete;
    KalbritSession& operator=(const KalbritSession&) = delete;

    HWND Dialog() const { return dialog_; }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text) const;
    bool Checked(int id) const;
    void Click(int id) const;  // BM_CLICK on a radio button (sent)
    // Clicks Save (posted, since the reply is a modal message box), waits for
    // the message box, returns its text (UTF-8) and dismisses it.
    std::string SaveAndReadReply() const;
    // Clicks History... and waits for the History dialog.
    HWND OpenHistory() const;
    // One column of a list-view control of this process, row by row, as UTF-8
    // (read through memory in Kalbrit's process, as on Windows).
    std::vector<std::string> ListColumn(HWND list, int column) const;
    // Closes the dialog with its Close button; the process's exit code.
    DWORD Close();

private:
    HWND FindMessageBox() const;
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

// A Unix path from the build (/work/...) as a Windows path (Z:\work\...).
std::string WindowsPath(const std::string& path);
