#pragma once
// SNMPv3 reception as Dovrel composes it: the users of [usKarn_v3], the
// platform's crypto (CNG) and Dovrel's own engine from the user's registry.
#include <cstdint>
#include <memory>

#include "core/crypto.h"
#include "core/profile_reader.h"
#include "snmp/usm_receiver.h"

// The receiver for the users the settings name, over crypto (which must
// outlive it), its engine time counted from nowSeconds; null when no user is
// configured (SNMPv3 messages are then refused as undecodable, as before),
// or when no engine can be made.
std::unique_ptr<UsmReceiver> MakeUsmReceiver(ProfileReader& settings, Crypto& crypto, int64_t nowSeconds);
