#include "app/local_engine_store.h"

#include <windows.h>

#include <cstring>

#include "settings/program_names.h"
#include "win/handles.h"

namespace {

class RegistryKey {
public:
    RegistryKey() {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kEngineKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            key_.Out(), nullptr) != ERROR_SUCCESS)
            key_.Release();
    }

    // The value's octets when it has this type and fits; its size, else 0.
    DWORD Read(const char* name, DWORD type, void* out, DWORD capacity) const {
        DWORD found = 0;
        DWORD size = capacity;
        if (!key_ || RegQueryValueExA(key_.Get(), name, nullptr, &found, static_cast<BYTE*>(out), &size) != ERROR_SUCCESS ||
            found != type)
            return 0;
        return size;
    }
    bool Write(const char* name, DWORD type, const void* data, DWORD size) const {
        return key_ && RegSetValueExA(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }

private:
    UniqueRegKey key_;
};

bool NewEngineId(Crypto& crypto, LocalEngine& engine) {
    engine.idSize = kGeneratedEngineIdSize;
    return MakeEngineId(crypto, engine.id);
}

}  // namespace

bool LoadLocalEngine(Crypto& crypto, int64_t startSeconds, LocalEngine& engine) {
    engine = LocalEngine{};
    engine.startSeconds = startSeconds;
    const RegistryKey key;
    engine.idSize = key.Read(kEngineIdValue, REG_BINARY, engine.id, sizeof engine.id);
    DWORD keptBoots = 0;
    bool kept = IsValidEngineId(engine.id, engine.idSize);
    if (kept) {
        if (key.Read(kEngineBootsValue, REG_DWORD, &keptBoots, sizeof keptBoots) != sizeof keptBoots) keptBoots = 0;
    } else {
        if (!NewEngineId(crypto, engine)) return false;
        kept = key.Write(kEngineIdValue, REG_BINARY, engine.id, static_cast<DWORD>(engine.idSize));
    }
    const DWORD boots = NextEngineBoots(keptBoots);
    engine.boots = boots;
    if (kept && key.Write(kEngineBootsValue, REG_DWORD, &boots, sizeof boots)) return true;
    // Boots that are not kept could come again with this engine ID.
    engine.boots = 1;
    return NewEngineId(crypto, engine);
}
