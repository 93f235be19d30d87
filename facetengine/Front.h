#pragma once

#include "KorSweepPoint.h"
#include "KorVertex.h"

#include <vector>

// An X-ordered sequence of vertices (pointers, not owned: into a KorMesh for
// Front, into the sweep's compact copies for FrontOf<KorSweepPoint>): the
// upper boundary of the region swept so far by Delaunay2D, and with the same
// type its lower chain. A vertex may stand in the sequence more than once
// (the lower chain keeps a vertex twice where the region has a vertical
// side); vertices are compared by ID. V needs X and ID.
//
// Kept as a list of short sorted blocks, so that insertion and removal cost
// O(log n + block) instead of shifting the whole tail: a sweep over 10^6
// points keeps a front of thousands of vertices, and along a level line the
// front may hold most of the points. Positions are valid until the next
// insertion or removal.
template <class V> class FrontOf
{
public:
    struct Position
    {
        int Block = -1;
        int Offset = -1;
        bool IsValid() const { return Block >= 0; }
    };

    int GetSize() const { return mSize; }
    bool IsEmpty() const { return mSize == 0; }

    // Inserts in front of the entries with the same X (after those with a
    // smaller X); returns where v went. Finite coordinates only.
    Position InsertVertex(V* v);
    // Appends without looking at X: for building a list already in order.
    void AppendVertex(V* v);
    // The first entry with v's ID, searched among the entries with v's X;
    // an invalid position when there is none.
    Position FindVertex(const V* v) const;
    // Removes the entry FindVertex finds; nothing when there is none.
    void RemoveVertex(const V* v);
    // Removes the entry at p and returns the position of the entry that
    // followed it (invalid at the end). Positions before p stay valid.
    Position RemoveAt(const Position& p);

    V* Get(const Position& p) const;
    Position First() const;
    Position Last() const;
    // The neighbours of p; invalid past either end.
    Position Next(const Position& p) const;
    Position Previous(const Position& p) const;

private:
    struct Entry
    {
        double X;
        V* Vertex;
    };

    // The first position whose X is not below x; Block == block count at the end.
    Position LowerBound(double x) const;

    // Keeps mLastX[b] equal to the X of block b's last entry.
    void Touch(size_t block);
    void EraseBlock(size_t block);

    static constexpr size_t kMaxBlock = 128;
    std::vector<std::vector<Entry>> mBlocks; // none of them empty
    // The last X of each block, side by side, so that the search over blocks
    // reads one array instead of one allocation per block.
    std::vector<double> mLastX;
    int mSize = 0;
};

// The accessors, inline: the sweep calls them at every step.
template <class V> inline V* FrontOf<V>::Get(const Position& p) const
{
    if (!p.IsValid() || p.Block >= static_cast<int>(mBlocks.size()))
        return nullptr;
    const std::vector<Entry>& block = mBlocks[static_cast<size_t>(p.Block)];
    return p.Offset >= 0 && p.Offset < static_cast<int>(block.size())
               ? block[static_cast<size_t>(p.Offset)].Vertex
               : nullptr;
}

template <class V> inline typename FrontOf<V>::Position FrontOf<V>::First() const
{
    return mBlocks.empty() ? Position{} : Position{0, 0};
}

template <class V> inline typename FrontOf<V>::Position FrontOf<V>::Last() const
{
    if (mBlocks.empty())
        return Position{};
    return Position{static_cast<int>(mBlocks.size()) - 1, static_cast<int>(mBlocks.back().size()) - 1};
}

template <class V> inline typename FrontOf<V>::Position FrontOf<V>::Next(const Position& p) const
{
    if (!Get(p))
        return Position{};
    if (p.Offset + 1 < static_cast<int>(mBlocks[static_cast<size_t>(p.Block)].size()))
        return Position{p.Block, p.Offset + 1};
    if (p.Block + 1 < static_cast<int>(mBlocks.size()))
        return Position{p.Block + 1, 0};
    return Position{};
}

template <class V> inline typename FrontOf<V>::Position FrontOf<V>::Previous(const Position& p) const
{
    if (!Get(p))
        return Position{};
    if (p.Offset > 0)
        return Position{p.Block, p.Offset - 1};
    if (p.Block > 0)
        return Position{p.Block - 1, static_cast<int>(mBlocks[static_cast<size_t>(p.Block - 1)].size()) - 1};
    return Position{};
}

using Front = FrontOf<KorVertex>;
