#pragma once
// The names by which Dovrel, Kalbrit, the installer and outside programs
// find one another: files, registry values, window, mutex, captions.

constexpr char kSettingsFileName[] = "Dovrel.ini";
constexpr char kSettingsProgramName[] = "Kalbrit.exe";
constexpr char kProgramFileName[] = "Dovrel.exe";
constexpr char kFinwinFileName[] = "Finwin.dll";

// The hidden main window, which outside programs find and close (FinWin).
constexpr char kMainWindowClass[] = "Wymmera";
constexpr char kMainWindowTitle[] = "Dovrel.exe";
// Held by the running Dovrel: a second one refuses to start.
constexpr char kInstanceMutexName[] = "Wymmeras";
// Caption of the start-up warning (dialog 101 in res/shell.rc, which must
// match), the same in every language.
constexpr char kWarningCaption[] = "Warning(Tesvane)";

// Where the installer records the install folder, and beside it the
// firewall rule's profiles ("domain,private", "any" or "none").
constexpr char kInstallKey[] = "Software\\Orvanta\\Quillmont\\CurrentVersion";
constexpr char kInstallValue[] = "InstallPath";
constexpr char kFirewallProfilesValue[] = "FirewallProfiles";

// Dovrel's own SNMP engine (for SNMPv3 INFORMs), kept per user under
// HKEY_CURRENT_USER, which a standard user may write: its engine ID
// (REG_BINARY), made once, and its engine boots (REG_DWORD), counted up at
// each start.
constexpr char kEngineKey[] = "Software\\Orvanta\\Quillmont\\Dovrel";
constexpr char kEngineIdValue[] = "EngineID";
constexpr char kEngineBootsValue[] = "EngineBoots";
