// Immutable 8-bit strings and the pool that makes equal literals one object.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/object.h"

namespace tarnby {

class String : public Object {
public:
    // The pooled string with these characters, created on first use. Pooled
    // strings live for the whole process, so equal texts compare by identity.
    static Ref<String> intern(const char* literal);

    static Ref<String> fromInt(int32_t value);
    static Ref<String> fromBytes(const ByteArray& bytes, int32_t offset, int32_t count);
    static Ref<String> fromChars(const char* chars);

    ~String() override;

    const char* chars() const { return m_chars; }
    int32_t length() const;
    bool ownsChars() const { return m_ownsChars; }

    // A new string with the characters from index 2 on (strips a two-character
    // prefix such as a club's shortcut tag).
    Ref<String> suffixFrom2() const;

    bool equals(const char* text) const;

    // Decimal conversion with the C library's rules: leading blanks, optional
    // sign, digits; 0 when there are none.
    static int32_t parseInt(const String& text);

private:
    String(const char* chars, bool owns) : m_chars(chars), m_ownsChars(owns) {}
    static Ref<String> adopt(char* chars);

    const char* m_chars;
    bool m_ownsChars;
    String* m_next = nullptr;  // next string of the pool
};

}  // namespace tarnby
