#include "kalbrit/firewall_notice.h"

FirewallRule ParseFirewallRule(const std::string& recorded) {
    if (recorded == "domain,private") return FirewallRule::DomainAndPrivate;
    if (recorded == "any") return FirewallRule::AllProfiles;
    if (recorded == "none") return FirewallRule::NoRule;
    return FirewallRule::Unknown;  // an install older than the record, or none at all
}

std::optional<KalbritText> FirewallNotice(FirewallRule rule, bool publicNetwork) {
    if (rule == FirewallRule::NoRule) return KalbritText::TestNoFirewallRule;
    if (rule == FirewallRule::DomainAndPrivate && publicNetwork) return KalbritText::TestPublicNetwork;
    return std::nullopt;
}
