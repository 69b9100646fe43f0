#pragma once
// The category Windows gives the networks this computer is connected to.

// True when a connected network is Public (Windows' firewall then applies
// its Public profile); false when none is, or the Network List Manager
// cannot be asked. Needs COM on this thread. Wine answers Public for every
// network.
bool ConnectedToPublicNetwork();
