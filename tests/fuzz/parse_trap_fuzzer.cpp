// libFuzzer target: ParseTrap and its helpers over arbitrary datagrams.
// Besides memory errors (address and undefined-behaviour sanitizers), it
// traps on any result the decoder must never produce.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "snmp/trap_decoder.h"

namespace {

bool IsMessageNumber(int32_t n) {
    if (n == 0 || n == 1 || n == 2 || n == 3 || n == 5 || n == 6 || n == 110 || n == 120 || n == 130) return true;
    if (n >= 12 && n <= 58) return n % 2 == 0;
    return (n >= 113 && n <= 117) || (n >= 123 && n <= 127);
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TrapFields fields;
    const int32_t n = ParseTrap(data, size, "vandor", fields);
    Check(IsMessageNumber(n));
    Check(fields.specificCode >= 0 && fields.specificCode <= 255);
    Check(fields.outletName.size() <= 512);
    Check(fields.agentAddress.size() <= 15);

    // The same datagram with an empty community exercises the zero-length compare.
    TrapFields other;
    Check(IsMessageNumber(ParseTrap(data, size, std::string(), other)));

    // Item headers at every position stay inside the buffer.
    for (size_t pos = 0; pos <= size && pos < 64; ++pos) {
        TlvItem item;
        if (ReadTlv(data, size, pos, item)) Check(item.valuePos <= size);
    }
    const int32_t alarm = ClassifyAlarm(data, size);
    Check(alarm == 0 || (alarm >= 12 && alarm <= 58 && alarm % 2 == 0));
    return 0;
}
