#include "test_crypto.h"
#include "win/cng_crypto.h"

Crypto& TestCrypto() {
    static CngCrypto crypto;
    return crypto;
}
