// The library's own heap: every record the volume library keeps (endpoints,
// lists, option strings, notices, window-list nodes) lives on it, so that
// unloading the library returns all of it at once and nothing of it mixes
// with the host program's heap.
//
// Created when the library is loaded, destroyed when it is unloaded (the
// Windows half uses HeapCreate; elsewhere it is the C library's heap).
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace tonvale {
namespace levrig {

bool createPrivateHeap();
void destroyPrivateHeap();

// Null when the heap refuses (or no heap exists).
void* privateAllocate(size_t size) noexcept;
void privateFree(void* block) noexcept;

// Makes allocations fail once `successes` more have succeeded (negative:
// never), to reach the out-of-memory paths in tests.
void failPrivateAllocationsAfterForTesting(int successes);

template <typename T> struct PrivateAllocator {
    using value_type = T;
    PrivateAllocator() = default;
    template <typename U> PrivateAllocator(const PrivateAllocator<U>&) noexcept {}
    T* allocate(size_t count) {
        if (count > static_cast<size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* block = privateAllocate(count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) noexcept { privateFree(block); }
    template <typename U> bool operator==(const PrivateAllocator<U>&) const noexcept {
        return true;
    }
    template <typename U> bool operator!=(const PrivateAllocator<U>&) const noexcept {
        return false;
    }
};

// Wide text owned by the library (UTF-16 code units in wchar_t).
using Text = std::basic_string<wchar_t, std::char_traits<wchar_t>, PrivateAllocator<wchar_t>>;

// An object on the private heap; null when the heap refuses. A constructor
// that throws frees the block and passes the exception on.
template <typename T, typename... Args> T* privateNew(Args&&... args) {
    void* block = privateAllocate(sizeof(T));
    if (!block)
        return nullptr;
    try {
        return new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        privateFree(block);
        throw;
    }
}

template <typename T> void privateDelete(T* object) noexcept {
    if (object) {
        object->~T();
        privateFree(object);
    }
}

struct PrivateDeleter {
    template <typename T> void operator()(T* object) const noexcept { privateDelete(object); }
};
template <typename T> using PrivatePtr = std::unique_ptr<T, PrivateDeleter>;

} // namespace levrig
} // namespace tonvale
