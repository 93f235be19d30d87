#pragma once

#include <algorithm>
#include <utility>
#include <vector>

// Sorts items with a three-way comparator (negative: a first, zero: either
// order, positive: b first). A bottom-up merge sort whose every loop is bounded
// by indices, so a comparator that is not a strict weak order (a tolerant one,
// or NaN coordinates) can give an odd order but never reads outside the array,
// unlike std::sort or qsort. Stable. O(n log n) comparisons and copies, O(n)
// extra memory; nothing is done for fewer than 2 items.
template <class T, class Compare> void KorMergeSort(std::vector<T>& items, Compare compare)
{
    const size_t n = items.size();
    if (n < 2)
        return;

    // Short runs by insertion first: fewer passes over the buffer.
    const size_t run = 16;
    for (size_t lo = 0; lo < n; lo += run)
    {
        const size_t hi = std::min(lo + run, n);
        for (size_t i = lo + 1; i < hi; ++i)
            for (size_t j = i; j > lo && compare(items[j], items[j - 1]) < 0; --j)
                std::swap(items[j], items[j - 1]);
    }

    std::vector<T> buffer(items);
    std::vector<T>* src = &items;
    std::vector<T>* dst = &buffer;
    for (size_t width = run; width < n; width *= 2)
    {
        for (size_t lo = 0; lo < n; lo += 2 * width)
        {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                (*dst)[k++] = compare((*src)[j], (*src)[i]) < 0 ? (*src)[j++] : (*src)[i++];
            while (i < mid)
                (*dst)[k++] = (*src)[i++];
            while (j < hi)
                (*dst)[k++] = (*src)[j++];
        }
        std::swap(src, dst);
    }
    if (src != &items)
        items.swap(buffer);
}
