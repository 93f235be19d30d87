#pragma once

#include "KorException.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

// A table of mesh elements in which an element's identifier is its slot index.
// Deleting an element frees its slot in place; freed identifiers are handed out
// again oldest first, so identifiers stay stable while elements come and go.
//
// Invariants: a live slot holds an item whose ID is the slot index; a free slot
// holds a default item (ID -1) and its index is queued in FreeIDs once;
// the live count is the slot count minus the queue length.
//
// A pointer returned by Add or Get is valid only until the next Add on the same
// table. Code that adds two items and links them looks the first one up again
// by identifier after the second Add. Built with VORN_DEBUG_REALLOC, every Add
// moves every slot, so a stale pointer is caught at once by the address
// sanitizer.
//
// Storage: the slots live in fixed-size chunks, so a large table grows without
// copying what it holds and touches each page once (one contiguous array
// would copy everything and fault in twice its size at every doubling). Only
// the last chunk grows geometrically, so a small table stays small. Chunks are
// aligned on cache lines. The live flag stays in its slot: a walk that reads
// an item has read its flag with it (a separate bit array was slower).
//
// Add and Get are O(1) (Add amortised; O(n) per Add under VORN_DEBUG_REALLOC).
template <class T> class KorIDVector
{
public:
    struct Slot
    {
        T item;
        bool Exist = false;
    };

    T* Add()
    {
        if (GetNumberOfFreeIDs() > 0)
            return Revive(PopFreeFront());
        T& item = AppendSlot().item;
        item.ID = SlotCount - 1;
        return &item;
    }

    T* Get(const int& id)
    {
        if (id < 0 || id >= SlotCount)
            return nullptr;
        try
        {
            if (!IsLive(id))
                return nullptr;
            return &At(id);
        }
        catch (const std::exception&)
        {
            KorReport("KorIDVector<T>::Get", "Impossible to get the item with the ID " + std::to_string(id));
            return nullptr;
        }
    }

    const T* Get(const int& id) const
    {
        return const_cast<KorIDVector*>(this)->Get(id);
    }

    // Freeing a slot that is already free does nothing, so no identifier is
    // ever queued twice.
    void DeleteItem(const int& id)
    {
        if (id < 0 || id >= SlotCount)
        {
            KorReport("KorIDVector<T>::DeleteItem",
                      "Impossible to delete the item which ID is " + std::to_string(id));
            return;
        }
        if (!IsLive(id))
            return;
        SetLive(id, false);
        At(id) = DefaultItem();
        FreeIDs.push_back(id);
    }

    // Makes the slot `id` live again, for an undo or redo that must give an
    // element its own identifier back: a free slot leaves the queue wherever
    // it stands in it; an identifier past the end appends slots, those in
    // between free (queued in order). Null when `id` is negative or live.
    // O(free identifiers) for a free slot, amortised O(1) past the end.
    T* AddAt(int id)
    {
        if (id < 0 || (id < SlotCount && IsLive(id)))
            return nullptr;
        if (id >= SlotCount)
        {
            while (SlotCount < id)
            {
                AppendSlot().Exist = false;
                FreeIDs.push_back(SlotCount - 1);
            }
            T& item = AppendSlot().item;
            item.ID = id;
            return &item;
        }
        EraseFree(id);
        return Revive(id);
    }

    // Takes back the latest Add, which gave `id`, whether the item was freed
    // since or not: the table is as before that Add. A slot the Add appended
    // is removed; a slot it took from the queue goes back to the queue's
    // front. An appended slot that is no longer the last is only freed.
    // O(free identifiers).
    void TakeBack(int id, bool appended)
    {
        if (id < 0 || id >= SlotCount)
            return;
        DeleteItem(id);
        if (!EraseFree(id))
            return;
        if (appended && id == SlotCount - 1)
        {
            Chunks.back().pop_back();
            if (Chunks.back().empty())
                Chunks.pop_back();
            --SlotCount;
        }
        else if (appended)
            FreeIDs.push_back(id);
        else if (FreeFront > 0)
            FreeIDs[--FreeFront] = id;
        else
            FreeIDs.insert(FreeIDs.begin(), id);
    }

    // The next count new slots are sized at once instead of by doubling: a
    // table filled in bulk copies nothing and touches each page once.
    void Reserve(size_t count)
    {
        Expected = count;
    }

    void Clear()
    {
        Expected = 0;
        Chunks.clear();
        SlotCount = 0;
        FreeIDs.clear();
        FreeFront = 0;
    }

    int GetVectorSize() const
    {
        return SlotCount;
    }
    int GetNumberOfFreeIDs() const
    {
        return static_cast<int>(FreeIDs.size() - FreeFront);
    }
    int GetNumberOfItems() const
    {
        return GetVectorSize() - GetNumberOfFreeIDs();
    }

private:
    // One default item for every table of a type, not one per table: a mesh
    // holds several tables and most of them stay empty.
    static const T& DefaultItem()
    {
        static const T item;
        return item;
    }

    static constexpr size_t kChunkBits = 13;
    static constexpr size_t kChunkItems = size_t{1} << kChunkBits;
    static constexpr size_t kChunkMask = kChunkItems - 1;
    static constexpr size_t kFirstCapacity = 16;
    static constexpr size_t kLineBytes = 64;

    // Hands out cache-line aligned blocks for the chunks.
    template <class U> struct LineAllocator
    {
        using value_type = U;
        LineAllocator() = default;
        template <class V> LineAllocator(const LineAllocator<V>&) noexcept {}
        U* allocate(size_t n)
        {
            return static_cast<U*>(::operator new(n * sizeof(U), std::align_val_t(kLineBytes)));
        }
        void deallocate(U* p, size_t) noexcept { ::operator delete(p, std::align_val_t(kLineBytes)); }
        template <class V> bool operator==(const LineAllocator<V>&) const noexcept { return true; }
        template <class V> bool operator!=(const LineAllocator<V>&) const noexcept { return false; }
    };
    using Chunk = std::vector<Slot, LineAllocator<Slot>>;

    Slot& SlotAt(int id)
    {
        return Chunks[static_cast<size_t>(id) >> kChunkBits][static_cast<size_t>(id) & kChunkMask];
    }
    const Slot& SlotAt(int id) const
    {
        return Chunks[static_cast<size_t>(id) >> kChunkBits][static_cast<size_t>(id) & kChunkMask];
    }
    T& At(int id)
    {
        return SlotAt(id).item;
    }
    bool IsLive(int id) const
    {
        return SlotAt(id).Exist;
    }
    void SetLive(int id, bool live)
    {
        SlotAt(id).Exist = live;
    }

    // The oldest free identifier, out of the queue. The taken front is
    // dropped once it is half the queue, so each identifier moves at most
    // a bounded number of times.
    int PopFreeFront()
    {
        const int id = FreeIDs[FreeFront++];
        if (FreeFront == FreeIDs.size())
        {
            FreeIDs.clear();
            FreeFront = 0;
        }
        else if (FreeFront >= kFirstCapacity && 2 * FreeFront >= FreeIDs.size())
        {
            FreeIDs.erase(FreeIDs.begin(), FreeIDs.begin() + static_cast<std::ptrdiff_t>(FreeFront));
            FreeFront = 0;
        }
        return id;
    }

    // Takes `id` out of the queue wherever it stands; false when it is not
    // queued. The identifier just freed is at the back: searched from there.
    bool EraseFree(int id)
    {
        const auto front = FreeIDs.rend() - static_cast<std::ptrdiff_t>(FreeFront);
        const auto it = std::find(FreeIDs.rbegin(), front, id);
        if (it == front)
            return false;
        FreeIDs.erase(std::next(it).base());
        return true;
    }

    // The free slot `id`, already out of the queue, live again with its
    // identifier.
    T* Revive(int id)
    {
#ifdef VORN_DEBUG_REALLOC
        Reallocate();
#endif
        SetLive(id, true);
        T& item = At(id);
        item.ID = id;
        return &item;
    }

    // A new live slot at the end, holding a copy of the default item.
    Slot& AppendSlot()
    {
#ifdef VORN_DEBUG_REALLOC
        Reallocate();
#endif
        if (Chunks.empty() || Chunks.back().size() == kChunkItems)
            Chunks.emplace_back();
        Chunk& chunk = Chunks.back();
        if (chunk.size() == chunk.capacity())
            chunk.reserve(std::max(chunk.empty() ? kFirstCapacity : std::min(kChunkItems, 2 * chunk.size()),
                                   std::min(kChunkItems, chunk.size() + Expected)));
        chunk.push_back(Slot{DefaultItem(), true});
        if (Expected > 0)
            --Expected;
        ++SlotCount;
        return chunk.back();
    }

#ifdef VORN_DEBUG_REALLOC
    // Copies every chunk into a fresh block allocated while the old one is
    // still held, so every slot's address changes.
    void Reallocate()
    {
        for (Chunk& chunk : Chunks)
        {
            Chunk moved;
            moved.reserve(chunk.capacity());
            moved.insert(moved.end(), chunk.begin(), chunk.end());
            chunk.swap(moved);
        }
    }
#endif

    std::vector<Chunk> Chunks;
    int SlotCount = 0;
    size_t Expected = 0;
    // The queue of free identifiers, oldest first from FreeFront (those
    // before it are taken). A vector rather than a deque: an empty table,
    // as most are, holds no block.
    std::vector<int> FreeIDs;
    size_t FreeFront = 0;
};
