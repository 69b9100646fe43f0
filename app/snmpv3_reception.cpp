#include "app/snmpv3_reception.h"

#include "app/local_engine_store.h"

std::unique_ptr<UsmReceiver> MakeUsmReceiver(ProfileReader& settings, Crypto& crypto, int64_t nowSeconds) {
    UsmUserTable users = ReadUsmUsers(settings, crypto);
    if (users.users.empty()) return nullptr;
    LocalEngine engine;
    if (!LoadLocalEngine(crypto, nowSeconds, engine)) return nullptr;
    return std::make_unique<UsmReceiver>(crypto, std::move(users), engine);
}
