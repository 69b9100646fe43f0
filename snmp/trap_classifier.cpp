#include "snmp/trap_classifier.h"

#include <cstring>

#include "snmp/ber_tags.h"
#include "snmp/encoded_oids.h"

using namespace encoded_oids;

namespace {

constexpr size_t kShortNameLimit = 512;
constexpr size_t kLongNameCut = 500;
constexpr int kScannedBindings = 3;

// Lengths are 32-bit quantities read as signed where "0 or less" is tested.
bool EmptyOrNegative(const TlvItem& item) { return static_cast<int32_t>(item.length) <= 0; }

int32_t SpecificBasedNumber(int32_t base, int32_t s) {
    if (s == 1 || s == 2) return base;
    if (s >= 3 && s <= 7) return base + s;
    return -1;
}

enum class BindingKind { None, Alarm, OutletNumber, OutletName };

constexpr unsigned kSeenOutletNumber = 1;
constexpr unsigned kSeenOutletName = 2;

struct ScanState {
    BindingKind kind = BindingKind::None;
    bool alarm = false;
    unsigned seen = 0;
};

enum class ScanStep { Next, Stop, Decided };

// Looks at the binding at pos: its name sets the kind, its value may set an
// outlet field or decide the number by an alarm. next is where a following
// binding would begin (right after this value).
ScanStep ScanBinding(const uint8_t* data, size_t size, size_t pos, ScanState& state, TrapFields& fields,
                     size_t& next, int32_t& number) {
    TlvItem binding;
    if (!ReadTlv(data, size, pos, binding)) return ScanStep::Stop;
    if (EmptyOrNegative(binding) || binding.tag != kTagSequence) return ScanStep::Stop;

    TlvItem name;
    if (!ReadTlv(data, size, binding.valuePos, name)) return ScanStep::Stop;
    if (EmptyOrNegative(name) || !ValueInside(size, name)) return ScanStep::Stop;
    if (name.tag == kTagObjectId) {
        if (StartsWith(data, size, name.valuePos, kMib2) &&
            StartsWith(data, size, name.valuePos + sizeof kMib2, kAlarmDescrTail)) {
            state.kind = BindingKind::Alarm;
            state.alarm = true;
        }
        if (StartsWith(data, size, name.valuePos, kOutletNumberVar)) {
            state.kind = BindingKind::OutletNumber;
            state.seen |= kSeenOutletNumber;
        }
        if (StartsWith(data, size, name.valuePos, kOutletNameVar)) {
            state.kind = BindingKind::OutletName;
            state.seen |= kSeenOutletName;
        }
    }

    TlvItem value;
    if (!ReadTlv(data, size, ValueEnd(name), value)) return ScanStep::Stop;
    if (EmptyOrNegative(value) || !ValueInside(size, value)) return ScanStep::Stop;
    const uint8_t* bytes = data + value.valuePos;
    switch (value.tag) {
    case kTagInteger:
        if (state.kind == BindingKind::OutletNumber)
            fields.outletNumber = DecodeInteger(bytes, static_cast<int32_t>(value.length));
        break;
    case kTagOctetString: {
        const size_t limit = value.length <= kShortNameLimit ? value.length : kLongNameCut;
        const void* zero = std::memchr(bytes, 0, limit);
        const size_t count = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes) : limit;
        if (state.kind == BindingKind::OutletName) fields.outletName.assign(reinterpret_cast<const char*>(bytes), count);
        break;
    }
    case kTagObjectId:
        if (state.alarm) {
            number = ClassifyAlarm(bytes, size - value.valuePos);
            return ScanStep::Decided;
        }
        break;
    default:
        break;
    }
    next = ValueEnd(value);
    return ScanStep::Next;
}

// The variable-binding scan: at most three bindings. Returns the message
// number when an alarm binding decides it, else -1 with the seen set filled in.
int32_t ScanBindings(const uint8_t* data, size_t size, const BindingSource& source, TrapFields& fields,
                     unsigned& seen) {
    ScanState state;
    size_t pos = source.first;
    for (int i = 0; i < kScannedBindings; ++i) {
        if (source.listed) {
            if (static_cast<size_t>(i) >= source.listedCount) break;
            pos = source.listed[i];
        }
        int32_t number = 0;
        const ScanStep step = ScanBinding(data, size, pos, state, fields, pos, number);
        if (step == ScanStep::Decided) return number;
        if (step == ScanStep::Stop) break;
    }
    seen = state.seen;
    return -1;
}

}  // namespace

EnterpriseFlags FlagsOfEnterprise(const uint8_t* oid, size_t available) {
    EnterpriseFlags flags;
    flags.upsTraps = StartsWith(oid, available, 0, kUpsTraps);
    flags.deviceA = StartsWith(oid, available, 0, kEnterpriseA);
    flags.deviceB = StartsWith(oid, available, 0, kEnterpriseB);
    return flags;
}

int32_t ClassifyTrap(const uint8_t* data, size_t size, const TrapHeader& header, const BindingSource& bindings,
                     TrapFields& fields) {
    const EnterpriseFlags& enterprise = header.enterprise;
    const int32_t g = header.generic;
    if (g == 0) return 2;
    if (g == 4 && enterprise.deviceB) return 5;
    if (g == 1 && enterprise.deviceB) return 6;
    if (header.reach == HeaderReach::Generic) return 0;

    const int32_t s = header.specific;
    fields.specificCode = s;
    if (enterprise.upsTraps && g == 6 && s == 1) return 3;
    if (header.reach == HeaderReach::Specific) return 0;

    if (header.emptyList) {
        if (!(enterprise.deviceA && g == 6)) return 0;
        const int32_t number = SpecificBasedNumber(110, s);
        if (number > 0) return number;
        // Any other code goes on to the scan from where the list's value would begin.
    }

    unsigned seen = 0;
    const int32_t alarmNumber = ScanBindings(data, size, bindings, fields, seen);
    if (alarmNumber >= 0) return alarmNumber;

    if (seen == (kSeenOutletNumber | kSeenOutletName)) {
        if (s == 8) return 130;
        const int32_t number = SpecificBasedNumber(120, s);
        if (number > 0) return number;
    }
    return 1;
}
