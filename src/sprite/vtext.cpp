// Text sprites: layout, the number field, word wrap and drawing.
#include "sprite/vtext.h"

#include <string>

#include "runtime/files.h"

namespace tarnby {

namespace {

// The longest text file shown whole; the help text is a few kilobytes.
constexpr int32_t kMaxTextFile = 1 << 20;

Ref<Vfont>& defaultFontStorage()
{
    static Ref<Vfont> font;
    return font;
}

uint32_t g_defaultTextColour = Vtext::kWhite;

}  // namespace

Vtext::Vtext() : m_font(defaultFontStorage()), m_textColour(g_defaultTextColour) {}

Vtext::Vtext(const Ref<String>& text) : Vtext() { setText(text); }

void Vtext::setDefaultFont(const Ref<Vfont>& font) { defaultFontStorage() = font; }

Ref<Vfont> Vtext::defaultFont() { return defaultFontStorage(); }

void Vtext::setDefaultTextColour(uint32_t colour) { g_defaultTextColour = colour; }

uint32_t Vtext::defaultTextColour() { return g_defaultTextColour; }

void Vtext::setFont(const Ref<Vfont>& font, const Ref<String>& text)
{
    m_font = font;
    setText(text);
}

void Vtext::setText(const Ref<String>& text)
{
    m_text = text;
    measure();
}

Ref<String> Vtext::toString() const { return m_text ? m_text : String::intern(""); }

void Vtext::measure()
{
    m_checksum = 0;
    if (!m_text || !m_font) {
        return;
    }
    const int32_t lineHeight = m_font->getLineHeight();
    // Sums wrap rather than overflow: a long text in a corrupt font of huge
    // widths must not make measuring undefined.
    int32_t x = 1;  // one pixel of margin on the left
    int32_t widest = 0;
    int32_t height = lineHeight;
    for (const char* p = m_text->chars(); *p; ++p) {
        int32_t c = static_cast<int8_t>(*p);
        m_checksum = wrapAdd(m_checksum, c);
        if (c == '\n') {
            widest = x > widest ? x : widest;
            x = 1;
            height = wrapAdd(height, lineHeight);
        } else if (c == '\t') {
            x = wrapAdd(x, m_font->tabAdvance(x));
        } else {
            x = wrapAdd(x, m_font->charWidth(c));
        }
    }
    // The number field carries on the last line.
    for (int32_t i = m_digitCount - 1; i >= 0; --i) {
        int32_t c = static_cast<int8_t>(m_digits[i]);
        m_checksum = wrapAdd(m_checksum, c);
        x = wrapAdd(x, m_font->charWidth(c));
    }
    m_width = x > widest ? x : widest;
    m_height = height;
}

int32_t Vtext::getNumber() const
{
    uint32_t value = 0;
    for (int32_t i = m_digitCount - 1; i >= 0; --i) {
        value = value * 10 + static_cast<uint32_t>(m_digits[i] - '0');
    }
    return static_cast<int32_t>(value);
}

void Vtext::increment()
{
    if (m_digitCount > 0) {
        int32_t i = 0;
        while (i < m_digitCount && m_digits[i] == '9') {
            m_digits[i++] = '0';
        }
        if (i < m_digitCount) {
            ++m_digits[i];
        } else if (m_digitCount < m_digitMax) {
            m_digits[m_digitCount++] = '1';  // 99 becomes 100 when there is room
        }
        // otherwise the field has wrapped to all zeros
    }
    measure();
}

void Vtext::setNumber(int32_t n)
{
    if (m_digitMax <= 0) {
        return;  // no number field to write into
    }
    // The field has no sign: a counter taken below zero shows 0.
    uint32_t value = n < 0 ? 0 : static_cast<uint32_t>(n);
    m_digitCount = 0;
    do {
        m_digits[m_digitCount++] = static_cast<uint8_t>('0' + value % 10);
        value /= 10;
    } while (value != 0 && m_digitCount < m_digitMax);
    measure();
}

void Vtext::setDigits(const Ref<StringBuffer>& text)
{
    m_digitCount = 0;
    if (text) {
        const char* chars = text->chars();
        for (int32_t i = text->length() - 1; i >= 0 && m_digitCount < m_digitMax; --i) {
            m_digits[m_digitCount++] = static_cast<uint8_t>(chars[i]);
        }
    }
    measure();
}

void Vtext::setDigitMax(int32_t n)
{
    n = n < 0 ? 0 : n;
    m_digits = n > 0 ? allocByte(n) : ByteArray();
    m_digitMax = n;
    m_digitCount = 0;  // the new field holds no digits yet
    if (m_font) {
        m_width += m_font->charWidth('0') * n;
    }
}

void Vtext::wrapChars(char* chars, int32_t length, int32_t limit) const
{
    int32_t x = 1;
    int32_t lastSpace = -1;
    int32_t widthAtSpace = 0;
    for (int32_t i = 0; i < length; ++i) {
        int32_t c = static_cast<int8_t>(chars[i]);
        if (c == '\n') {
            x = 1;  // a space recorded on an earlier line stays recorded
            continue;
        }
        x = wrapAdd(x, m_font->charWidth(c));
        if (c == ' ') {
            lastSpace = i;
            widthAtSpace = x;
        }
        if (x > limit) {
            x = wrapSub(x, widthAtSpace);
            if (lastSpace >= 0) {
                chars[lastSpace] = '\n';
            }
            lastSpace = -1;
            widthAtSpace = 0;
        }
    }
}

void Vtext::setWrapped(const Ref<StringBuffer>& text)
{
    if (!m_font) {
        m_font = defaultFont();
    }
    if (!text) {
        setText(String::intern(""));
        return;
    }
    std::string chars(text->chars(), static_cast<size_t>(text->length()));
    if (m_font) {
        wrapChars(chars.data(), static_cast<int32_t>(chars.size()), m_width);
    }
    setText(String::fromChars(chars.c_str()));
}

void Vtext::loadText(const Ref<String>& name)
{
    if (!name) {
        return;
    }
    std::string prefixed = std::string("/") + name->chars();
    Ref<InputStream> in = InputStream::open(prefixed.c_str());
    if (!in) {
        V::log((std::string("Text file ") + name->chars() + " cannot be opened: nothing to show").c_str());
        return;
    }
    Ref<StringBuffer> buffer = make<StringBuffer>();
    int32_t count = 0;
    for (int32_t b = in->read(); b >= 0; b = in->read()) {
        if (count == kMaxTextFile) {
            std::string message = std::string("Text file ") + name->chars() + " is too long: shown in part";
            V::log(message.c_str());
            break;
        }
        if (b != 0) {  // a stray NUL would end the text early
            buffer->appendChar(static_cast<char>(b));
            ++count;
        }
    }
    in->close();
    setWrapped(buffer);
}

int32_t Vtext::signature(Fixed x, Fixed y, Fixed scale)
{
    // Sums wrap: only equality matters.
    uint32_t inner = static_cast<uint32_t>(m_checksum) + (static_cast<uint32_t>(wrapAdd(m_height, y)) << 7);
    uint32_t sum = static_cast<uint32_t>(m_width) + (inner << 3) + static_cast<uint32_t>(m_frame) + m_colour
                   + static_cast<uint32_t>(m_opacity) + static_cast<uint32_t>(x) + static_cast<uint32_t>(scale);
    return static_cast<int32_t>(sum);
}

Fixed Vtext::drawAtPen(int32_t c, uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT,
    int32_t clipR, int32_t clipB, Fixed penX, Fixed penY, Fixed topLimit)
{
    int32_t w = m_font->charWidth(c);
    if (w == 0) {
        return 0;
    }
    int32_t left = penX >> 15;
    if (c != ' ' && left < clipR && left + w > clipL && penY > topLimit) {
        m_font->drawChar(c, frame, stride, frameHeight, clipL, clipT, clipR, clipB, penX, penY, m_textColour,
            m_opacity);
    }
    return toFixed(w);
}

void Vtext::render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
    int32_t clipB)
{
    fillRect(frame, stride, frameHeight, clipL, clipT, clipR, clipB, m_colour);
    if (!m_font || !m_text) {
        return;
    }
    const int32_t lineHeight = m_font->getLineHeight();
    const Fixed line = toFixed(lineHeight);
    const Fixed topLimit = toFixed(clipT - lineHeight);
    const Fixed marginX = wrapAdd(m_originX, kOne);
    Fixed penX = marginX;
    Fixed penY = m_originY;
    for (const char* p = m_text->chars(); *p; ++p) {
        int32_t c = static_cast<int8_t>(*p);
        if (c == '\n') {
            penX = marginX;
            penY = wrapAdd(penY, line);
            if (clipB < (penY >> 15)) {
                return;  // every further line lies below the clip
            }
        } else if (c == '\t') {
            penX = wrapAdd(penX, toFixed(m_font->tabAdvance(wrapSub(penX, m_originX) >> 15)));
        } else {
            Fixed advance = drawAtPen(c, frame, stride, frameHeight, clipL, clipT, clipR, clipB, penX, penY, topLimit);
            penX = wrapAdd(penX, advance);
        }
    }
    for (int32_t i = m_digitCount - 1; i >= 0; --i) {
        int32_t c = static_cast<int8_t>(m_digits[i]);
        Fixed advance = drawAtPen(c, frame, stride, frameHeight, clipL, clipT, clipR, clipB, penX, penY, topLimit);
        penX = wrapAdd(penX, advance);
    }
}

}  // namespace tarnby
