// Strings and the string pool.
#include "runtime/string.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarnby {

namespace {
String* g_poolHead = nullptr;
}

String::~String()
{
    if (m_ownsChars) {
        std::free(const_cast<char*>(m_chars));
    }
}

Ref<String> String::intern(const char* literal)
{
    for (String* s = g_poolHead; s; s = s->m_next) {
        if (std::strcmp(s->m_chars, literal) == 0) {
            return Ref<String>(s);
        }
    }
    auto* s = new String(literal, false);
    s->retain();  // the pool's own count, never given back
    s->m_next = g_poolHead;
    g_poolHead = s;
    return Ref<String>(s);
}

Ref<String> String::adopt(char* chars) { return Ref<String>(new String(chars, true)); }

Ref<String> String::fromInt(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return fromChars(text);
}

Ref<String> String::fromChars(const char* chars)
{
    size_t n = std::strlen(chars);
    auto* copy = static_cast<char*>(std::malloc(n + 1));
    std::memcpy(copy, chars, n + 1);
    return adopt(copy);
}

Ref<String> String::fromBytes(const ByteArray& bytes, int32_t offset, int32_t count)
{
    if (offset < 0 || count < 0 || offset > bytes.length() || count > bytes.length() - offset) {
        count = 0;
        offset = 0;
    }
    auto* copy = static_cast<char*>(std::malloc(static_cast<size_t>(count) + 1));
    if (count > 0) {
        std::memcpy(copy, bytes.data() + offset, static_cast<size_t>(count));
    }
    copy[count] = 0;
    return adopt(copy);
}

int32_t String::length() const { return static_cast<int32_t>(std::strlen(m_chars)); }

Ref<String> String::suffixFrom2() const { return length() >= 2 ? fromChars(m_chars + 2) : fromChars(""); }

bool String::equals(const char* text) const { return std::strcmp(m_chars, text) == 0; }

int32_t String::parseInt(const String& text) { return std::atoi(text.m_chars); }

}  // namespace tarnby
