// Handles as Win32 hands them out: opaque values that name an object of one
// kind. Each value carries the slot's generation, so a handle whose object
// is gone never names a later object in the same slot, and the kind, so a
// handle of one kind passed where another is expected is simply not found.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

static_assert(sizeof(uintptr_t) == 8, "the handle layout assumes 64-bit pointers");

enum class HandleKind : uint8_t {
    window = 1,
    deviceContext = 2,
    bitmap = 3,
    brush = 4,
    cursor = 5,
};

template <class Object>
class HandleTable {
public:
    explicit HandleTable(size_t limit) : limit(limit) {}

    // The new handle, or 0 when the table is full.
    uintptr_t add(HandleKind kind, std::unique_ptr<Object> object) {
        uint32_t index;
        if (!freeSlots.empty()) {
            index = freeSlots.back();
            freeSlots.pop_back();
        } else {
            if (slots.size() >= limit) return 0;
            index = static_cast<uint32_t>(slots.size());
            slots.emplace_back();
        }
        Slot& slot = slots[index];
        ++slot.generation;
        slot.kind = kind;
        slot.object = std::move(object);
        ++count;
        return encode(index, slot);
    }

    Object* find(uintptr_t handle, HandleKind kind) const {
        const Slot* slot = slotOf(handle);
        return slot && slot->kind == kind ? slot->object.get() : nullptr;
    }

    // Finds an object of any kind; the kind is written to *kind.
    Object* findAny(uintptr_t handle, HandleKind* kind) const {
        const Slot* slot = slotOf(handle);
        if (!slot) return nullptr;
        *kind = slot->kind;
        return slot->object.get();
    }

    std::unique_ptr<Object> remove(uintptr_t handle) {
        Slot* slot = const_cast<Slot*>(slotOf(handle));
        if (!slot) return nullptr;
        std::unique_ptr<Object> object = std::move(slot->object);
        freeSlots.push_back(static_cast<uint32_t>(slot - slots.data()));
        --count;
        return object;
    }

    size_t size() const { return count; }

    template <class Visitor>
    void forEach(Visitor visit) const {
        for (size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].object) visit(encode(static_cast<uint32_t>(i), slots[i]), slots[i].object.get());
        }
    }

private:
    struct Slot {
        uint32_t generation = 0;
        HandleKind kind = HandleKind::window;
        std::unique_ptr<Object> object;
    };

    static constexpr uintptr_t indexMask = 0xffffff;

    static uintptr_t encode(uint32_t index, const Slot& slot) {
        return (uintptr_t(slot.generation) << 32) | (uintptr_t(slot.kind) << 24) | (index + 1);
    }

    const Slot* slotOf(uintptr_t handle) const {
        uintptr_t index = (handle & indexMask);
        if (index == 0 || index > slots.size()) return nullptr;
        const Slot& slot = slots[index - 1];
        if (!slot.object || encode(static_cast<uint32_t>(index - 1), slot) != handle) return nullptr;
        return &slot;
    }

    std::vector<Slot> slots;
    std::vector<uint32_t> freeSlots;
    size_t limit;
    size_t count = 0;
};

}  // namespace platform
