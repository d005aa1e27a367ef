// StringBuffer: grows by a constant ten characters, which suits short texts.
#include "runtime/stringbuffer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarnby {

StringBuffer::StringBuffer() : m_chars(static_cast<char*>(std::calloc(11, 1))) {}

StringBuffer::StringBuffer(const Ref<String>& text) : StringBuffer() { append(text); }

StringBuffer::~StringBuffer() { std::free(m_chars); }

void StringBuffer::appendChar(char c)
{
    if (m_length + 1 > m_capacity) {
        auto* grown = static_cast<char*>(std::calloc(static_cast<size_t>(m_length) + 12, 1));
        std::memcpy(grown, m_chars, static_cast<size_t>(m_length) + 1);
        std::free(m_chars);
        m_chars = grown;
        m_capacity = m_length + 1 + 10;
    }
    m_chars[m_length++] = c;
    m_chars[m_length] = 0;
}

void StringBuffer::appendChars(const char* text, int32_t n)
{
    if (m_length + n > m_capacity) {
        int32_t capacity = m_length + n + 10;
        auto* grown = static_cast<char*>(std::calloc(static_cast<size_t>(capacity) + 1, 1));
        std::memcpy(grown, m_chars, static_cast<size_t>(m_length) + 1);
        std::free(m_chars);
        m_chars = grown;
        m_capacity = capacity;
    }
    for (int32_t i = 0; i < n; ++i) {
        appendChar(text[i]);
    }
}

void StringBuffer::append(const Ref<String>& text)
{
    if (text) {
        appendChars(text->chars(), text->length());
    }
}

void StringBuffer::append(const char* text) { appendChars(text, static_cast<int32_t>(std::strlen(text))); }

void StringBuffer::append(int32_t value)
{
    char scratch[16];
    int n = std::snprintf(scratch, sizeof scratch, "%d", value);
    for (int i = 0; i < n; ++i) {
        appendChar(scratch[i]);
    }
}

Ref<String> StringBuffer::toString() const { return String::fromChars(m_chars); }

}  // namespace tarnby
