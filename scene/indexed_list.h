// The growable, index-checked list the scene keeps its records in.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tessaro {

// Raised for any list access outside 0..count - 1.  Nothing in the scene or the
// renderer catches it; the entry point turns it into a failure result.
class InvalidIndexError : public std::out_of_range {
 public:
  InvalidIndexError(int64_t index, int64_t count);
  int64_t Index() const { return index_; }
  int64_t Count() const { return count_; }

 private:
  int64_t index_;
  int64_t count_;
};

[[noreturn]] void ThrowInvalidIndex(int64_t index, int64_t count);

// Records stored by value; indices are signed 32-bit like everywhere in the
// scene, so the list refuses to grow past INT32_MAX elements.
template <typename T>
class IndexedList {
 public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool Contains(int32_t index) const { return index >= 0 && index < Count(); }

  T& At(int32_t index) {
    if (!Contains(index)) ThrowInvalidIndex(index, Count());
    return items_[static_cast<size_t>(index)];
  }
  const T& At(int32_t index) const {
    if (!Contains(index)) ThrowInvalidIndex(index, Count());
    return items_[static_cast<size_t>(index)];
  }

  void Append(T item) {
    if (items_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()))
      throw std::length_error("scene list is full");
    items_.push_back(std::move(item));
  }
  // Later elements move down by one.
  void RemoveAt(int32_t index) {
    if (!Contains(index)) ThrowInvalidIndex(index, Count());
    items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }

  const T* begin() const { return items_.data(); }
  const T* end() const { return items_.data() + items_.size(); }

 private:
  std::vector<T> items_;
};

}  // namespace tessaro
