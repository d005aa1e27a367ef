// Typed arrays with a shared count: byte, short, int and reference arrays.
//
// An array value is a small handle (count word, elements, length) passed by
// value; copies share the elements and the count. A length of 0 is the empty
// handle with no storage at all. Elements start zeroed (or null), and reference
// elements are released last-to-first when the final handle goes. Storage made
// by the accounting allocators (allocInt, ...) is given back to the memory
// counter when its final handle goes, however that happens.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/object.h"

namespace tarnby {

// The memory counter (see avail() below): bytes > 0 are taken, < 0 given back.
void account(int64_t bytes);

template <class T>
class Array {
public:
    Array() = default;
    explicit Array(int32_t length)
    {
        if (length <= 0) {
            return;
        }
        m_count = new Shared { 1, 0 };
        m_elements = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(length)));
        if constexpr (std::is_trivially_constructible_v<T>) {
            std::memset(static_cast<void*>(m_elements), 0, sizeof(T) * static_cast<size_t>(length));
        } else {
            for (int32_t i = 0; i < length; ++i) {
                new (&m_elements[i]) T();
            }
        }
        m_length = length;
    }
    Array(const Array& other) : m_count(other.m_count), m_elements(other.m_elements), m_length(other.m_length)
    {
        if (m_count) {
            ++m_count->handles;
        }
    }
    Array(Array&& other) noexcept
        : m_count(std::exchange(other.m_count, nullptr)), m_elements(std::exchange(other.m_elements, nullptr)),
          m_length(std::exchange(other.m_length, 0))
    {
    }
    ~Array() { releaseStorage(); }

    Array& operator=(const Array& other)
    {
        Array copy(other);
        swap(copy);
        return *this;
    }
    Array& operator=(Array&& other) noexcept
    {
        Array moved(std::move(other));
        swap(moved);
        return *this;
    }

    void swap(Array& other) noexcept
    {
        std::swap(m_count, other.m_count);
        std::swap(m_elements, other.m_elements);
        std::swap(m_length, other.m_length);
    }

    int32_t length() const { return m_length; }
    bool empty() const { return m_length == 0; }
    T* data() const { return m_elements; }
    T& operator[](int32_t i) const { return m_elements[i]; }
    T* begin() const { return m_elements; }
    T* end() const { return m_elements + m_length; }

    // Handles sharing these elements (0 for the empty handle).
    int32_t shareCount() const { return m_count ? m_count->handles : 0; }
    // Charges the storage to the memory counter until the final handle goes
    // (once; the accounting allocators call it).
    void accountStorage()
    {
        if (m_count && m_count->accountedBytes == 0) {
            m_count->accountedBytes = static_cast<int64_t>(sizeof(T)) * m_length;
            account(m_count->accountedBytes);
        }
    }

private:
    void releaseStorage()
    {
        if (!m_count) {
            return;
        }
        if (--m_count->handles == 0) {
            if (m_count->accountedBytes != 0) {
                account(-m_count->accountedBytes);
            }
            if constexpr (!std::is_trivially_destructible_v<T>) {
                for (int32_t i = m_length - 1; i >= 0; --i) {
                    m_elements[i].~T();
                }
            }
            ::operator delete(static_cast<void*>(m_elements));
            delete m_count;
        }
        m_count = nullptr;
        m_elements = nullptr;
        m_length = 0;
    }

    // The count of handles and what the storage was charged to the counter.
    struct Shared {
        int32_t handles;
        int64_t accountedBytes;
    };
    Shared* m_count = nullptr;
    T* m_elements = nullptr;
    int32_t m_length = 0;
};

using ByteArray = Array<uint8_t>;
using ShortArray = Array<int16_t>;
using IntArray = Array<int32_t>;
template <class T>
using RefArray = Array<Ref<T>>;

// Allocation with the memory accounting of the runtime (see avail()).
ByteArray allocByte(int32_t n);
ShortArray allocShort(int32_t n);
IntArray allocInt(int32_t n);
void deleteByte(ByteArray& array);
void deleteInt(IntArray& array);

// Memory handed out through the accounting allocators, as a falling counter:
// it starts at 0, drops on allocation and rises when the storage goes (its
// last handle dropped, or deleteByte/deleteInt). 64-bit: a long run that
// allocates many gigabytes in total cannot wrap it. Diagnostic only.
int64_t avail();

}  // namespace tarnby
