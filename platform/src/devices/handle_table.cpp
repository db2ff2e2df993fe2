#include "handle_table.h"

#include <mutex>

namespace ce::devices {

namespace {

// Spread out and tagged so that a value is never null, never INVALID_HANDLE_VALUE and unlikely
// to be mistaken for a kernel handle.
constexpr std::uintptr_t kTag = 0xCE000000u;
constexpr unsigned kShift = 4;

bool KeyOf(HANDLE h, std::uintptr_t& key) {
    auto value = reinterpret_cast<std::uintptr_t>(h);
    if (value <= kTag || ((value - kTag) & ((1u << kShift) - 1)) != 0)
        return false;
    key = (value - kTag) >> kShift;
    return true;
}

} // namespace

HANDLE HandleTable::Add(std::shared_ptr<Device> device) {
    std::lock_guard<SlimLock> lock(lock_);
    std::uintptr_t key = next_++;
    devices_.emplace(key, std::move(device));
    return reinterpret_cast<HANDLE>(kTag + (key << kShift));
}

std::shared_ptr<Device> HandleTable::Find(HANDLE h) {
    std::uintptr_t key = 0;
    if (!KeyOf(h, key))
        return nullptr;
    std::lock_guard<SlimLock> lock(lock_);
    auto it = devices_.find(key);
    return it == devices_.end() ? nullptr : it->second;
}

std::shared_ptr<Device> HandleTable::Remove(HANDLE h) {
    std::uintptr_t key = 0;
    if (!KeyOf(h, key))
        return nullptr;
    std::lock_guard<SlimLock> lock(lock_);
    auto it = devices_.find(key);
    if (it == devices_.end())
        return nullptr;
    std::shared_ptr<Device> device = std::move(it->second);
    devices_.erase(it);
    return device;
}

HandleTable& HandleTable::Instance() {
    static auto* table = new HandleTable;
    return *table;
}

} // namespace ce::devices
