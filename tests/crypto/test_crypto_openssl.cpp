#include "openssl_crypto.h"
#include "test_crypto.h"

Crypto& TestCrypto() {
    static OpensslCrypto crypto;
    return crypto;
}
