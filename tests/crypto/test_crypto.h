#pragma once
// The crypto the USM tests run over: OpenSSL natively, Windows CNG in the
// Windows builds under Wine, so that both pass the same tests.
#include "core/crypto.h"

Crypto& TestCrypto();
