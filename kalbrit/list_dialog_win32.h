#pragma once
// A list dialog over one section of Dovrel.ini: a list view of its entries
// with Add..., Change..., Remove, Save and Cancel, and an entry dialog that
// checks each entry before the list takes it. The Devices list is one kind;
// another kind supplies its own templates (same control ids), columns and
// rules and reuses the rest.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kalbrit/keyed_list.h"

class ListDialogKind {
public:
    virtual ~ListDialogKind() = default;
    virtual const ListRules& Rules() const = 0;
    // Templates in both languages: the list (IDC_LIST, IDC_LIST_ADD,
    // IDC_LIST_CHANGE, IDC_LIST_REMOVE, IDOK to save, IDCANCEL) and the entry
    // (IDC_ENTRY_KEY, IDC_ENTRY_VALUE, IDOK, IDCANCEL).
    virtual int ListTemplate() const = 0;
    virtual int EntryTemplate() const = 0;
    // Column titles and an entry's cells (ANSI code page), one per column.
    virtual std::vector<std::wstring> Columns(UiLanguage language) const = 0;
    virtual std::vector<std::string> Cells(const SectionValue& entry) const { return {entry.key, entry.value}; }
    // The entry dialog's fields; by default the key and value edits.
    virtual void ShowEntry(HWND dialog, const SectionValue& entry) const;
    // Reads the fields into entry (shown: the entry the dialog opened with);
    // a problem they have before the list sees them is told and its control
    // focused. By default there is none: the key without blanks around it,
    // the value as typed.
    struct EntryProblem {
        int control;
        const char* text;  // UTF-8
    };
    virtual std::optional<EntryProblem> ReadEntry(HWND dialog, const SectionValue& shown, UiLanguage language,
                                                  SectionValue& entry) const;
    virtual int ControlOf(ListField field) const;
    // The entry dialog's other commands (a combo box's choice, say).
    virtual void OnEntryCommand(HWND /*dialog*/, WPARAM /*wParam*/) const {}
    // IDC_LIST_TEST, in a list template that has it, for the selected entry (-1: none).
    virtual void Test(HWND /*dialog*/, const KeyedList& /*list*/, int /*selected*/) const {}
};

// Saves the list's edit from the list dialog (which owns the messages it
// shows); true when saved, and the dialog closes.
using SaveListEdit = std::function<bool(HWND dialog, const SectionEdit& edit)>;

// Runs the modal list dialog over owner for the loaded entries.
void RunListDialog(HWND owner, UiLanguage language, const ListDialogKind& kind, std::vector<SectionValue> loaded,
                   const SaveListEdit& save);
