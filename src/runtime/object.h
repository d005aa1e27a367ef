// Reference-counted objects and the handle that keeps them alive.
//
// Every engine object carries its own count. A `Ref<T>` retains on copy and
// releases on destruction, so "the caller retains, the callee releases" holds by
// construction: pass handles by value or const reference and never count by hand.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace tarnby {

template <class T>
class Ref;

class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    // Number of handles (and pool entries) that hold this object.
    int32_t refCount() const { return m_refCount; }

private:
    template <class T>
    friend class Ref;
    friend class String;  // the string pool keeps its own count

    void retain() { ++m_refCount; }
    void release()
    {
        if (--m_refCount == 0) {
            delete this;
        }
    }

    int32_t m_refCount = 0;
};

// Counted handle. Null is a valid value; every operation on a null handle that
// would retain or release does nothing.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Explicit: taking a raw pointer adopts a count, which should never happen
    // unnoticed (a temporary handle made from `this` would delete the object).
    explicit Ref(T* object) : m_object(object) { retainObject(); }
    Ref(const Ref& other) : m_object(other.m_object) { retainObject(); }
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(const Ref<U>& other) : m_object(other.get()) { retainObject(); }
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(Ref<U>&& other) : m_object(other.detach()) {}
    ~Ref() { releaseObject(); }

    // Assignment releases the old value only after taking the new one, so
    // assigning a handle to itself (or to a child it owns) is safe.
    Ref& operator=(const Ref& other)
    {
        Ref copy(other);
        swap(copy);
        return *this;
    }
    Ref& operator=(Ref&& other) noexcept
    {
        Ref moved(std::move(other));
        swap(moved);
        return *this;
    }
    Ref& operator=(std::nullptr_t)
    {
        Ref empty;
        swap(empty);
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const Ref& other) const { return m_object == other.m_object; }
    bool operator==(const T* other) const { return m_object == other; }
    bool operator==(std::nullptr_t) const { return m_object == nullptr; }

    void swap(Ref& other) noexcept { std::swap(m_object, other.m_object); }

    // Gives up this handle's count without releasing it; used when ownership
    // moves to a handle of another type.
    T* detach() { return std::exchange(m_object, nullptr); }

private:
    void retainObject()
    {
        if (m_object) {
            static_cast<Object*>(m_object)->retain();
        }
    }
    void releaseObject()
    {
        if (m_object) {
            static_cast<Object*>(std::exchange(m_object, nullptr))->release();
        }
    }

    T* m_object = nullptr;
};

// Creates an object and hands back its first reference.
template <class T, class... Args>
Ref<T> make(Args&&... args)
{
    return Ref<T>(new T(std::forward<Args>(args)...));
}

}  // namespace tarnby
