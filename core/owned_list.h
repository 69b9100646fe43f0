#pragma once
// A doubly linked list of owned pointers with a mutex of its own.
//
// The queue discipline: the producer fills a record completely, then appends
// it at the tail; the one consumer walks from the head, taking each
// successor before it unlinks an element, and frees what it unlinks. Each
// public operation holds the mutex for that one operation only. Walks that
// must hold the mutex throughout (the open-alert list) use Lock() and the
// *Locked operations.
#include <cstddef>
#include <mutex>

template <class T>
class OwnedList {
public:
    struct Node {
        T* item;
        Node* prev;
        Node* next;
    };

    // Locks the mutex once on the creating thread: its first lock may
    // allocate (mingw-w64 sets it up lazily), which must not happen in a
    // worker thread that could be ended by force.
    OwnedList() { std::lock_guard<std::mutex> settle(mutex_); }
    ~OwnedList() { FreeAll(); }
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;

    // Takes ownership of item. Returns false (and frees nothing) only when
    // no node could be allocated; the caller still owns item then.
    bool Append(T* item) {
        Node* node = new (std::nothrow) Node{item, nullptr, nullptr};
        if (!node) return false;
        std::lock_guard<std::mutex> lock(mutex_);
        LinkTailLocked(node);
        return true;
    }

    Node* Head() {
        std::lock_guard<std::mutex> lock(mutex_);
        return head_;
    }

    Node* Next(Node* node) {
        std::lock_guard<std::mutex> lock(mutex_);
        return node ? node->next : nullptr;
    }

    // Unlinks node and hands its item back to the caller, who frees it.
    T* Unlink(Node* node) {
        std::lock_guard<std::mutex> lock(mutex_);
        return UnlinkLocked(node);
    }

    std::size_t Count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }

    // Frees every element from head to tail without taking the mutex: only
    // for the owner's destruction, after every other user has stopped.
    void FreeAll() {
        Node* node = head_;
        while (node) {
            Node* next = node->next;
            delete node->item;
            delete node;
            node = next;
        }
        head_ = tail_ = nullptr;
        count_ = 0;
    }

    // --- For walks that hold the mutex throughout ---
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
    Node* HeadLocked() const { return head_; }
    std::size_t CountLocked() const { return count_; }
    T* UnlinkLocked(Node* node) {
        if (!node) return nullptr;
        if (node->prev) node->prev->next = node->next; else head_ = node->next;
        if (node->next) node->next->prev = node->prev; else tail_ = node->prev;
        T* item = node->item;
        delete node;
        --count_;
        return item;
    }

private:
    void LinkTailLocked(Node* node) {
        node->prev = tail_;
        if (tail_) tail_->next = node; else head_ = node;
        tail_ = node;
        ++count_;
    }

    std::mutex mutex_;
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    std::size_t count_ = 0;
};
