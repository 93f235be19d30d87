#include "Front.h"

#include <algorithm>

template <class V> typename FrontOf<V>::Position FrontOf<V>::LowerBound(double x) const
{
    // The first block whose last entry is not below x holds the place.
    const auto last = std::partition_point(mLastX.begin(), mLastX.end(), [x](double l) { return l < x; });
    Position p;
    p.Block = static_cast<int>(last - mLastX.begin());
    if (last == mLastX.end())
    {
        p.Offset = 0;
        return p;
    }
    const auto block = mBlocks.begin() + p.Block;
    const auto entry =
        std::partition_point(block->begin(), block->end(), [x](const Entry& e) { return e.X < x; });
    p.Offset = static_cast<int>(entry - block->begin());
    return p;
}

template <class V> typename FrontOf<V>::Position FrontOf<V>::InsertVertex(V* v)
{
    Position p = LowerBound(v->X);
    if (p.Block == static_cast<int>(mBlocks.size()))
    {
        if (mBlocks.empty() || mBlocks.back().size() >= kMaxBlock)
            mBlocks.emplace_back();
        p.Block = static_cast<int>(mBlocks.size()) - 1;
        p.Offset = static_cast<int>(mBlocks.back().size());
    }
    if (mLastX.size() < mBlocks.size())
        mLastX.push_back(v->X);
    std::vector<Entry>& block = mBlocks[static_cast<size_t>(p.Block)];
    block.insert(block.begin() + p.Offset, Entry{v->X, v});
    ++mSize;
    Touch(static_cast<size_t>(p.Block));
    if (block.size() > kMaxBlock)
    {
        const size_t half = block.size() / 2;
        std::vector<Entry> upper(block.begin() + static_cast<long>(half), block.end());
        block.resize(half);
        mBlocks.insert(mBlocks.begin() + p.Block + 1, std::move(upper));
        mLastX.insert(mLastX.begin() + p.Block + 1, 0.0);
        Touch(static_cast<size_t>(p.Block));
        Touch(static_cast<size_t>(p.Block) + 1);
        if (static_cast<size_t>(p.Offset) >= half)
        {
            ++p.Block;
            p.Offset -= static_cast<int>(half);
        }
    }
    return p;
}

template <class V> void FrontOf<V>::AppendVertex(V* v)
{
    if (mBlocks.empty() || mBlocks.back().size() >= kMaxBlock)
        mBlocks.emplace_back();
    mBlocks.back().push_back(Entry{v->X, v});
    mLastX.resize(mBlocks.size());
    Touch(mBlocks.size() - 1);
    ++mSize;
}

template <class V> void FrontOf<V>::Touch(size_t block)
{
    mLastX[block] = mBlocks[block].back().X;
}

template <class V> void FrontOf<V>::EraseBlock(size_t block)
{
    mBlocks.erase(mBlocks.begin() + static_cast<long>(block));
    mLastX.erase(mLastX.begin() + static_cast<long>(block));
}

template <class V> typename FrontOf<V>::Position FrontOf<V>::FindVertex(const V* v) const
{
    for (Position p = LowerBound(v->X); p.IsValid() && p.Block < static_cast<int>(mBlocks.size());
         p = Next(p))
    {
        const Entry& e = mBlocks[static_cast<size_t>(p.Block)][static_cast<size_t>(p.Offset)];
        if (e.X != v->X)
            break;
        if (e.Vertex->ID == v->ID)
            return p;
    }
    return Position{};
}

template <class V> void FrontOf<V>::RemoveVertex(const V* v)
{
    const Position p = FindVertex(v);
    if (p.IsValid())
        RemoveAt(p);
}

template <class V> typename FrontOf<V>::Position FrontOf<V>::RemoveAt(const Position& p)
{
    if (!Get(p))
        return Position{};
    const size_t b = static_cast<size_t>(p.Block);
    std::vector<Entry>& block = mBlocks[b];
    block.erase(block.begin() + p.Offset);
    --mSize;
    if (block.empty())
    {
        EraseBlock(b);
        return b < mBlocks.size() ? Position{p.Block, 0} : Position{};
    }
    Touch(b);
    if (static_cast<size_t>(p.Offset) < block.size())
        return p;
    return b + 1 < mBlocks.size() ? Position{p.Block + 1, 0} : Position{};
}

template class FrontOf<KorVertex>;
template class FrontOf<KorSweepPoint>;
