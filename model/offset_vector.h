// A contiguous array whose first element can be removed or put back in
// constant time: removing from the front only moves a start offset, and the
// unused front slots are reclaimed once they make up half of the storage.
// Clients deleting a long list from its top then do linear work, not
// quadratic.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace qmx {

template <class T>
class OffsetVector {
public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    std::size_t size() const noexcept { return items_.size() - head_; }
    bool empty() const noexcept { return items_.size() == head_; }

    T& operator[](std::size_t i) { return items_[head_ + i]; }
    const T& operator[](std::size_t i) const { return items_[head_ + i]; }
    T& front() { return items_[head_]; }
    T& back() { return items_.back(); }

    iterator begin() { return items_.begin() + static_cast<std::ptrdiff_t>(head_); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin() + static_cast<std::ptrdiff_t>(head_); }
    const_iterator end() const { return items_.end(); }

    // Inserts before position pos (pos == size() appends). May throw
    // std::bad_alloc, in which case nothing changed.
    void Insert(std::size_t pos, T value)
    {
        if (pos == 0 && head_ > 0) {
            items_[--head_] = std::move(value);
            return;
        }
        items_.insert(begin() + static_cast<std::ptrdiff_t>(pos), std::move(value));
    }

    // Removes the element at pos and hands it to the caller, who decides
    // when it is destroyed.
    T Take(std::size_t pos)
    {
        T taken = std::move((*this)[pos]);
        if (pos == 0) {
            (*this)[0] = T{};
            ++head_;
            if (head_ == items_.size()) {
                items_.clear();
                head_ = 0;
            } else if (head_ >= kMinReclaim && head_ * 2 >= items_.size()) {
                items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
                head_ = 0;
            }
        } else {
            items_.erase(begin() + static_cast<std::ptrdiff_t>(pos));
        }
        return taken;
    }

    // Empties the array and hands every element to the caller.
    std::vector<T> TakeAll()
    {
        std::vector<T> all;
        if (head_ == 0) {
            all.swap(items_);
        } else {
            all.reserve(size());
            for (auto it = begin(); it != end(); ++it) all.push_back(std::move(*it));
            items_.clear();
        }
        head_ = 0;
        return all;
    }

private:
    static constexpr std::size_t kMinReclaim = 16;

    std::vector<T> items_;
    std::size_t head_ = 0;  // slots before it are unused
};

}  // namespace qmx
