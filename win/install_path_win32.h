#pragma once
// The install folder that the installer records under HKLM, shared by
// Dovrel and Kalbrit so that both always name the same Dovrel.ini.
#include <string>

constexpr char kInstallKey[] = "Software\\Orvanta\\Quillmont\\CurrentVersion";
constexpr char kInstallValue[] = "InstallPath";
// The firewall rule's profiles as the installer made it: "domain,private",
// "any" or "none".
constexpr char kFirewallProfilesValue[] = "FirewallProfiles";

// The InstallPath value as text, whatever its type. On 64-bit Windows the
// 64-bit registry view is asked first, then the 32-bit one, so a 32-bit and
// a 64-bit program find the same value whichever view holds it (32-bit
// Windows has one view and ignores the view flags). False when neither has it.
bool QueryInstallPath(std::string& value);

// Another value the installer records beside InstallPath (such as
// "FirewallProfiles"), read the same way.
bool QueryInstallValue(const char* name, std::string& value);
