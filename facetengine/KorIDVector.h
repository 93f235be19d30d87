#pragma once

#include "KorException.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

// A table of mesh elements in which an element's identifier is its slot index.
// Deleting an element frees its slot in place; freed identifiers are handed out
// again oldest first, so identifiers stay stable while elements come and go.
//
// Invariants: a live slot holds an item whose ID is the slot index; a free slot
// holds a copy of DefaultItem (ID -1) and its index is queued in FreeIDs once;
// the live count is the slot count minus the queue length.
//
// A pointer returned by Add or Get is valid only until the next Add on the same
// table: the slot array may move when it grows. Code that adds two items and
// links them looks the first one up again by identifier after the second Add.
// Built with VORN_DEBUG_REALLOC, every Add moves the array, so a stale pointer
// is caught at once by the address sanitizer.
//
// Add and Get are O(1) (Add amortised; O(n) per Add under VORN_DEBUG_REALLOC).
template <class T>
class KorIDVector
{
public:
    struct Slot
    {
        T item;
        bool Exist = false;
    };

    T* Add()
    {
        if (!FreeIDs.empty())
        {
            const int id = FreeIDs.front();
            FreeIDs.pop_front();
#ifdef VORN_DEBUG_REALLOC
            Reallocate(Items.size());
#endif
            Slot& slot = Items[static_cast<size_t>(id)];
            slot.Exist = true;
            slot.item.ID = id;
            return &slot.item;
        }
#ifdef VORN_DEBUG_REALLOC
        Reallocate(Items.size() + 1);
#endif
        Items.push_back(Slot{DefaultItem, true});
        Slot& slot = Items.back();
        slot.item.ID = static_cast<int>(Items.size()) - 1;
        return &slot.item;
    }

    T* Get(const int& id)
    {
        if (id < 0 || static_cast<size_t>(id) >= Items.size())
            return nullptr;
        try
        {
            Slot& slot = Items.at(static_cast<size_t>(id));
            return slot.Exist ? &slot.item : nullptr;
        }
        catch (const std::exception&)
        {
            KorReport("KorIDVector<T>::Get", "Impossible to get the item with the ID " + std::to_string(id));
            return nullptr;
        }
    }

    const T* Get(const int& id) const { return const_cast<KorIDVector*>(this)->Get(id); }

    // Freeing a slot that is already free does nothing, so no identifier is
    // ever queued twice.
    void DeleteItem(const int& id)
    {
        if (id < 0 || static_cast<size_t>(id) >= Items.size())
        {
            KorReport("KorIDVector<T>::DeleteItem", "Impossible to delete the item which ID is " + std::to_string(id));
            return;
        }
        Slot& slot = Items[static_cast<size_t>(id)];
        if (!slot.Exist)
            return;
        slot.Exist = false;
        slot.item = DefaultItem;
        FreeIDs.push_back(id);
    }

    void Clear()
    {
        Items.clear();
        FreeIDs.clear();
    }

    int GetVectorSize() const { return static_cast<int>(Items.size()); }
    int GetNumberOfFreeIDs() const { return static_cast<int>(FreeIDs.size()); }
    int GetNumberOfItems() const { return GetVectorSize() - GetNumberOfFreeIDs(); }
    const std::deque<int>& GetFreeIDs() const { return FreeIDs; }

    T DefaultItem;

private:
#ifdef VORN_DEBUG_REALLOC
    // Copies the slots into a fresh block allocated while the old one is still
    // held, so the address always changes.
    void Reallocate(size_t capacity)
    {
        std::vector<Slot> moved;
        moved.reserve(capacity);
        moved.insert(moved.end(), Items.begin(), Items.end());
        Items.swap(moved);
    }
#endif

    std::vector<Slot> Items;
    std::deque<int> FreeIDs;
};
