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
    // Clicks button id of window (posted) and waits for a dialog of Kalbrit
    // that is none of the open ones (a child dialog or a message box).
    HWND PressForDialog(HWND window, int id, const std::vector<HWND>& open) const;
    // A dialog of Kalbrit that is none of the open ones, within ms; null when none came.
    HWND WaitForDialog(const std::vector<HWND>& open, DWORD ms) const;
    // The text (UTF-8) of a message box, which is then dismissed.
    std::string ReadReply(HWND box) const;
    // Selects a row of a list-view control of this process.
    void SelectRow(HWND list, int row) const;
    // One column of a list-view control of this process, row by row, as UTF-8
    // (read through memory in Kalbrit's process, as on Windows).
    std::vector<std::string> ListColumn(HWND list, int column) const;
    // Closes the dialog with its Close button; the process's exit code.
    DWORD Close();

private:
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

// A Unix path from the build (/work/...) as a Windows path (Z:\work\...).
std::string WindowsPath(const std::string& path);
