// Growable 8-bit character buffer for building texts (scores, names, paths).
#pragma once

#include <cstdint>

#include "runtime/object.h"
#include "runtime/string.h"

namespace tarnby {

class StringBuffer : public Object {
public:
    StringBuffer();
    explicit StringBuffer(const Ref<String>& text);
    ~StringBuffer() override;

    void append(const Ref<String>& text);
    void append(const char* text);
    void append(int32_t value);
    void appendChar(char c);

    Ref<String> toString() const;

    int32_t capacity() const { return m_capacity; }
    int32_t length() const { return m_length; }
    const char* chars() const { return m_chars; }

private:
    void appendChars(const char* text, int32_t n);

    int32_t m_capacity = 10;
    int32_t m_length = 0;
    char* m_chars;
};

}  // namespace tarnby
