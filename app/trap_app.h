#pragma once
// The program's one application-state object.
#include <memory>
#include <string>

#include "alert/alert_list.h"
#include "alert/repeat_windows.h"
#include "core/crypto.h"
#include "settings/device_names.h"
#include "settings/trap_settings.h"
#include "snmp/refusal_counters.h"
#include "snmp/trap_records.h"
#include "snmp/usm_receiver.h"

// Window and module handles kept as opaque pointers so this header stays
// free of windows.h; the Win32 layer casts them to HWND / HINSTANCE.
using WindowHandle = void*;
using InstanceHandle = void*;

class CTrapApp {
public:
    CTrapApp() = default;
    // Frees the pending events and the open-alert entries (their windows
    // are left open).
    ~CTrapApp();
    CTrapApp(const CTrapApp&) = delete;
    CTrapApp& operator=(const CTrapApp&) = delete;

    WindowHandle mainWindow = nullptr;
    InstanceHandle instance = nullptr;
    std::string settingsPath;         // full path of Dovrel.ini, or the bare name
    std::string settingsProgramPath;  // full path of Kalbrit.exe; empty without an install path
    TrapSettings settings;            // the trap section, read once at start
    DeviceNames deviceNames;          // [usKarn_names], read once at start with it
    TrapEventQueue pendingEvents;
    AlertList openAlerts;
    RefusalCounters refusals;  // what the receiver engine refused, for the tooltip
    // SNMPv3: the platform's crypto and the receiver over it (null without
    // users); the receive thread uses both, so they go after the engine stops.
    std::unique_ptr<Crypto> crypto;
    std::unique_ptr<UsmReceiver> usm;
    RepeatWindows repeatWindows;      // used with mergeRepeats=1 only
};

// The one CTrapApp and the OS kind (1 = 9x family, 2 = major version 5,
// 0 = any other); both written before the worker threads start, read only
// in this folder (the layers below are handed what they need).
extern CTrapApp* g_app;
extern int32_t g_osKind;

// OS kind from GetVersionExA's platform id and major version.
int32_t OsKindFrom(uint32_t platformId, uint32_t majorVersion);
