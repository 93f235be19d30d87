#pragma once

#include "KorVertex.h"

#include <vector>

// An X-ordered sequence of mesh vertices (pointers into a KorMesh, not
// owned): the upper boundary of the region swept so far by Delaunay2D, and
// with the same type its lower chain. A vertex may stand in the sequence more
// than once (the lower chain keeps a vertex twice where the region has a
// vertical side); vertices are compared by ID.
//
// Kept as a list of short sorted blocks, so that insertion and removal cost
// O(log n + block) instead of shifting the whole tail: a sweep over 10^6
// points keeps a front of thousands of vertices, and along a level line the
// front may hold most of the points. Positions are valid until the next
// insertion or removal.
class Front
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
    Position InsertVertex(KorVertex* v);
    // Appends without looking at X: for building a list already in order.
    void AppendVertex(KorVertex* v);
    // The first entry with v's ID, searched among the entries with v's X;
    // an invalid position when there is none.
    Position FindVertex(const KorVertex* v) const;
    // Removes the entry FindVertex finds; nothing when there is none.
    void RemoveVertex(const KorVertex* v);

    KorVertex* Get(const Position& p) const;
    Position First() const;
    Position Last() const;
    // The neighbours of p; invalid past either end.
    Position Next(const Position& p) const;
    Position Previous(const Position& p) const;

private:
    struct Entry
    {
        double X;
        KorVertex* Vertex;
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
