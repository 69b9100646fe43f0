#include "win/network_category_win32.h"

#include <windows.h>
#include <netlistmgr.h>

#include "win/com_ptr.h"

bool ConnectedToPublicNetwork() {
    ComPtr<INetworkListManager> manager;
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                                manager.OutVoid())))
        return false;
    ComPtr<IEnumNetworks> networks;
    if (FAILED(manager->GetNetworks(NLM_ENUM_NETWORK_CONNECTED, networks.Out())) || !networks) return false;
    for (;;) {
        ComPtr<INetwork> network;
        ULONG fetched = 0;
        if (networks->Next(1, network.Out(), &fetched) != S_OK || fetched != 1) return false;
        NLM_NETWORK_CATEGORY category = NLM_NETWORK_CATEGORY_PRIVATE;
        if (SUCCEEDED(network->GetCategory(&category)) && category == NLM_NETWORK_CATEGORY_PUBLIC) return true;
    }
}
