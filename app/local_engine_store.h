#pragma once
// Dovrel's SNMP engine as kept in the user's registry (settings/program_names.h).
#include <cstdint>

#include "core/crypto.h"
#include "snmp/usm_local_engine.h"

// The engine for this start: the kept engine ID (made and kept when there is
// none or it is not a valid one) with its boots counted up and kept, and
// engine time from startSeconds on the caller's monotonic clock. When the
// boots cannot be kept, a new engine ID serves this start only, so that no
// engine ID is ever used twice with the same boots. False when the platform
// gives no random octets for an engine ID.
bool LoadLocalEngine(Crypto& crypto, int64_t startSeconds, LocalEngine& engine);
