#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace velmora {

// An array that grows in fixed blocks and can be trimmed to its exact size.
// The first append allocates `Block` entries; an append at a point where the
// count plus one is a multiple of the block reallocates to count + 1 + Block.
// The capacity is also grown whenever it would not hold the new entry, so an
// append after trim() is safe.
template <typename T, int Block> class BlockArray
{
public:
    int count() const { return static_cast<int>(items_.size()); }
    int capacity() const { return static_cast<int>(items_.capacity()); }
    bool empty() const { return items_.empty(); }

    T& operator[](int i) { return items_[static_cast<size_t>(i)]; }
    const T& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    T& back() { return items_.back(); }

    T& append(T item)
    {
        const int next = count() + 1;
        if (items_.capacity() == 0)
            items_.reserve(Block);
        else if (next % Block == 0 || next > capacity())
            items_.reserve(static_cast<size_t>(next + Block));
        items_.push_back(std::move(item));
        return items_.back();
    }

    void removeAt(int i) { items_.erase(items_.begin() + i); }

    // Gives back the spare capacity (the storage is reallocated to the count).
    void trim()
    {
        if (items_.capacity() != items_.size())
            std::vector<T>(std::make_move_iterator(items_.begin()),
                           std::make_move_iterator(items_.end()))
                .swap(items_);
    }

    void clear() { std::vector<T>().swap(items_); }

    // Takes over `items` with the capacity that
    // appending them one by one would have left, or, with `trimmed`, the
    // exact size that trim() would have left (an array that already holds
    // entries just appends them). `items` is emptied but keeps
    // its storage, so a caller can collect into it again without allocating.
    void adopt(std::vector<T>& items, bool trimmed)
    {
        const int n = static_cast<int>(items.size());
        if (!items_.empty()) {
            for (T& item : items)
                append(std::move(item));
            items.clear();
            if (trimmed)
                trim();
            return;
        }
        if (n == 0)
            return;
        items_.reserve(static_cast<size_t>(trimmed ? n : GrownCapacity(n)));
        for (T& item : items)
            items_.push_back(std::move(item));
        items.clear();
    }

    // The capacity after `n` appends to an array that had none.
    static int GrownCapacity(int n)
    {
        int capacity = 0;
        for (int next = 1; next <= n; ++next) {
            if (capacity == 0)
                capacity = Block;
            else if (next % Block == 0 || next > capacity)
                capacity = next + Block;
        }
        return capacity;
    }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};

} // namespace velmora
