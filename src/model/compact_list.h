#pragma once
// A vector that costs one pointer while empty. A task carries five lists
// (tags, dependencies, comments, tracked times, alarms) and most of them are
// empty for most tasks: with std::vector each would take 24 bytes inline in
// every one of 100,000 tasks. Size and capacity live in front of the
// elements, in the same block.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace qm::model {

template <class T>
class compact_list {
public:
    using value_type = T;
    using size_type = std::size_t;
    using iterator = T*;
    using const_iterator = const T*;
    using reverse_iterator = std::reverse_iterator<T*>;
    using const_reverse_iterator = std::reverse_iterator<const T*>;
    using reference = T&;
    using const_reference = const T&;

    compact_list() noexcept = default;
    compact_list(std::initializer_list<T> values) { assign(values.begin(), values.end()); }
    compact_list(const std::vector<T>& values) { assign(values.begin(), values.end()); }  // NOLINT: as a vector converts
    compact_list(const compact_list& o) { assign(o.begin(), o.end()); }
    compact_list(compact_list&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    ~compact_list() { release(); }

    compact_list& operator=(const compact_list& o)
    {
        if (this != &o) {
            compact_list copy(o);
            swap(copy);
        }
        return *this;
    }
    compact_list& operator=(compact_list&& o) noexcept
    {
        if (this != &o) {
            release();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    compact_list& operator=(std::initializer_list<T> values)
    {
        compact_list copy(values);
        swap(copy);
        return *this;
    }
    compact_list& operator=(const std::vector<T>& values)
    {
        compact_list copy(values);
        swap(copy);
        return *this;
    }
    void swap(compact_list& o) noexcept { std::swap(h_, o.h_); }

    std::vector<T> to_vector() const { return std::vector<T>(begin(), end()); }

    size_type size() const noexcept { return h_ ? h_->size : 0; }
    size_type capacity() const noexcept { return h_ ? h_->capacity : 0; }
    bool empty() const noexcept { return size() == 0; }

    T* data() noexcept { return h_ ? elements(h_) : nullptr; }
    const T* data() const noexcept { return h_ ? elements(h_) : nullptr; }
    iterator begin() noexcept { return data(); }
    iterator end() noexcept { return data() + size(); }
    const_iterator begin() const noexcept { return data(); }
    const_iterator end() const noexcept { return data() + size(); }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }
    reverse_iterator rbegin() noexcept { return reverse_iterator(end()); }
    reverse_iterator rend() noexcept { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const noexcept { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const noexcept { return const_reverse_iterator(begin()); }

    T& operator[](size_type i) { return data()[i]; }
    const T& operator[](size_type i) const { return data()[i]; }
    T& at(size_type i)
    {
        if (i >= size())
            throw std::out_of_range("compact_list::at");
        return data()[i];
    }
    const T& at(size_type i) const { return const_cast<compact_list*>(this)->at(i); }
    T& front() { return data()[0]; }
    const T& front() const { return data()[0]; }
    T& back() { return data()[size() - 1]; }
    const T& back() const { return data()[size() - 1]; }

    void reserve(size_type n)
    {
        if (n > capacity())
            grow_to(n);
    }
    void clear() noexcept
    {
        if (h_) {
            std::destroy_n(elements(h_), h_->size);
            h_->size = 0;
        }
    }

    void push_back(const T& v) { emplace_back(v); }
    void push_back(T&& v) { emplace_back(std::move(v)); }
    template <class... Args>
    T& emplace_back(Args&&... args)
    {
        if (size() == capacity()) {
            // The value may name one of our own elements: make it before the
            // elements move.
            T value(std::forward<Args>(args)...);
            grow_to(next_capacity());
            ::new (static_cast<void*>(end())) T(std::move(value));
            ++h_->size;
            return back();
        }
        ::new (static_cast<void*>(end())) T(std::forward<Args>(args)...);
        ++h_->size;
        return back();
    }
    void pop_back()
    {
        std::destroy_at(end() - 1);
        --h_->size;
    }

    iterator insert(const_iterator pos, const T& v) { return emplace(pos, v); }
    iterator insert(const_iterator pos, T&& v) { return emplace(pos, std::move(v)); }
    template <class... Args>
    iterator emplace(const_iterator pos, Args&&... args)
    {
        const size_type at = static_cast<size_type>(pos - begin());
        emplace_back(std::forward<Args>(args)...);  // safe when the value is one of ours
        std::rotate(begin() + at, end() - 1, end());
        return begin() + at;
    }
    template <class It>
    iterator insert(const_iterator pos, It first, It last)
    {
        const size_type at = static_cast<size_type>(pos - begin());
        const size_type old = size();
        for (; first != last; ++first)
            emplace_back(*first);
        std::rotate(begin() + at, begin() + old, end());
        return begin() + at;
    }

    iterator erase(const_iterator pos) { return erase(pos, pos + 1); }
    iterator erase(const_iterator first, const_iterator last)
    {
        T* f = begin() + (first - begin());
        T* l = begin() + (last - begin());
        if (f != l) {
            T* new_end = std::move(l, end(), f);
            std::destroy(new_end, end());
            h_->size = static_cast<std::uint32_t>(new_end - begin());
        }
        return f;
    }

    friend bool operator==(const compact_list& a, const compact_list& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator!=(const compact_list& a, const compact_list& b) { return !(a == b); }

private:
    struct alignas(8) header {
        std::uint32_t size;
        std::uint32_t capacity;
    };
    static_assert(alignof(T) <= alignof(header), "elements must fit the block's alignment");

    static T* elements(header* h) noexcept { return reinterpret_cast<T*>(h + 1); }
    static const T* elements(const header* h) noexcept { return reinterpret_cast<const T*>(h + 1); }

    size_type next_capacity() const { return capacity() == 0 ? 1 : capacity() * 2; }

    template <class It>
    void assign(It first, It last)
    {
        const auto n = static_cast<size_type>(std::distance(first, last));
        if (n == 0)
            return;
        grow_to(n);
        for (; first != last; ++first)
            emplace_back(*first);
    }

    void grow_to(size_type n)
    {
        auto* h = static_cast<header*>(::operator new(sizeof(header) + n * sizeof(T)));
        h->capacity = static_cast<std::uint32_t>(n);
        h->size = 0;
        if (h_) {
            if constexpr (std::is_nothrow_move_constructible_v<T>) {
                std::uninitialized_move_n(elements(h_), h_->size, elements(h));
            } else {
                try {
                    std::uninitialized_copy_n(elements(h_), h_->size, elements(h));
                } catch (...) {
                    ::operator delete(h);
                    throw;
                }
            }
            h->size = h_->size;
            release();
        }
        h_ = h;
    }

    void release() noexcept
    {
        if (h_) {
            std::destroy_n(elements(h_), h_->size);
            ::operator delete(h_);
            h_ = nullptr;
        }
    }

    header* h_ = nullptr;
};

}  // namespace qm::model
