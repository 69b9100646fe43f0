#pragma once
// A table of at most a fixed number of entries, allocated once: a new key
// takes the place of the least recently used entry when the table is full,
// so no stream of distinct keys grows memory. Found by linear search,
// which at a few hundred entries costs less than one HMAC.
#include <cstddef>
#include <cstdint>
#include <vector>

template <class Key, class Value>
class LruTable {
public:
    explicit LruTable(size_t capacity) : capacity_(capacity ? capacity : 1) { slots_.reserve(capacity_); }

    // The entry of key, marked as used now; null when there is none.
    Value* Find(const Key& key) {
        Slot* slot = Lookup(key);
        if (!slot) return nullptr;
        slot->used = ++clock_;
        return &slot->value;
    }

    // The same without marking it used.
    const Value* Peek(const Key& key) const {
        for (const Slot& slot : slots_) {
            if (slot.key == key) return &slot.value;
        }
        return nullptr;
    }

    // The entry of key, made (value-initialised) when there is none.
    Value& Put(const Key& key) {
        Slot* slot = Lookup(key);
        if (!slot) {
            if (slots_.size() < capacity_) {
                slots_.push_back(Slot{});
                slot = &slots_.back();
            } else {
                slot = &slots_.front();
                for (Slot& other : slots_) {
                    if (other.used < slot->used) slot = &other;
                }
            }
            *slot = Slot{key, Value{}, 0};
        }
        slot->used = ++clock_;
        return slot->value;
    }

    size_t Size() const { return slots_.size(); }
    size_t Capacity() const { return capacity_; }

private:
    struct Slot {
        Key key;
        Value value;
        uint64_t used;
    };

    Slot* Lookup(const Key& key) {
        for (Slot& slot : slots_) {
            if (slot.key == key) return &slot;
        }
        return nullptr;
    }

    size_t capacity_;
    uint64_t clock_ = 0;
    std::vector<Slot> slots_;
};
