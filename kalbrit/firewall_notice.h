#pragma once
// What Kalbrit's test-trap reply says about the firewall: a test from this
// computer never crosses it, a trap from a device does.
#include <optional>
#include <string>

#include "kalbrit/kalbrit_texts.h"

// The profiles of the inbound rule the installer made, as it records them in
// the value FirewallProfiles beside InstallPath.
enum class FirewallRule { Unknown, DomainAndPrivate, AllProfiles, NoRule };

FirewallRule ParseFirewallRule(const std::string& recorded);

// The sentence to add when the rule, on this network, keeps device traps
// out: a Public network with a domain-and-private rule, or no rule at all.
std::optional<KalbritText> FirewallNotice(FirewallRule rule, bool publicNetwork);
