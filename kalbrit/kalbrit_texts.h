#pragma once
// Kalbrit's messages in English and Japanese, as UTF-8. The dialog's own
// labels are in its two resource templates; these are the texts it builds
// at run time.
#include "kalbrit/trap_form.h"

enum class UiLanguage { English, Japanese };

enum class KalbritText {
    NothingSaved,        // closes every message about a save that did not happen
    Saved,               // followed by the path
    SavedAsAdministrator,// followed by the path
    TakesEffect,         // after a save
    CannotWrite,         // followed by the path and the system's reason
    Utf16File,           // followed by the path
    NeedsAdministrator,  // the user declined the elevation prompt
    CannotElevate,       // ShellExecuteEx failed; followed by the reason
    FailedAsAdministrator,  // the elevated copy failed; followed by the path and reason
    OfferRestart,        // after a save that changed a setting, Dovrel running
    OfferStart,          // after a save, no Dovrel running
    Restarted,           // followed by the port
    NoInstallPath,       // Dovrel's install folder is not recorded
    FinwinMissing,       // followed by the path
    StillRunning,        // the old Dovrel did not end
    CannotStart,         // followed by the path and the system's reason
    NotStartedElevated,  // Kalbrit is elevated and the desktop shell could not start Dovrel
    DidNotComeUp,        // followed by the port and WhatToCheck
    WhatToCheck,
    TestSent,            // followed by the port
    TestExpect,          // followed by the colour and the catalogue's text
    TestRefusedBySenders,
    TestNotRunning,
    TestLimits,
    TestUsesSaved,
    TestSettingsInvalid, // followed by the problem
    TestNotSent,         // followed by the system's reason
    TestPublicNetwork,   // the network is Public and the firewall rule leaves Public out
    TestNoFirewallRule,  // the installer added no firewall rule
    TestRefusedSoFar,    // followed by the running Dovrel's refusal summary
    DevicesSaved,        // followed by the path
    DevicesSavedAsAdministrator,  // followed by the path
    UsersSaved,          // followed by the path
    UsersSavedAsAdministrator,  // followed by the path
    TestSentAsUser,      // replaces TestSent for an SNMPv3 test; followed by the user, TestSentPort and the port
    TestSentPort,        // after the user, before the port
    TestUserUnsupported, // the user's protocols cannot be used here
    ColourRed,
    ColourOrange,
    ColourGreen,
};

// Japanese when the user's UI language is Japanese (primary language 0x11)
// or the ANSI code page is 932, else English.
UiLanguage ChooseUiLanguage(unsigned short userUiLanguage, unsigned ansiCodePage);

const char* TextOf(KalbritText text, UiLanguage language);
// How the dialog labels the field, e.g. "Port".
const char* FieldLabel(TrapField field, UiLanguage language);
// What the field accepts, naming it.
const char* ProblemText(FormProblem problem, UiLanguage language);
