// A text sprite: a string in a font and colour, with line breaks, tab stops,
// an optional number field after the text (scores and counters), word wrap
// and whole text files (the help screen). It sizes itself to its text.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/string.h"
#include "runtime/stringbuffer.h"
#include "sprite/vfont.h"
#include "sprite/vsprite.h"

namespace tarnby {

class Vtext : public Vsprite {
public:
    static constexpr uint32_t kWhite = 0xFFFFFFFF;

    // Empty text in the default font and text colour.
    Vtext();
    explicit Vtext(const Ref<String>& text);

    // Process-wide: the font and colour every new text starts with.
    static void setDefaultFont(const Ref<Vfont>& font);
    static Ref<Vfont> defaultFont();
    static void setDefaultTextColour(uint32_t colour);
    static uint32_t defaultTextColour();

    // The number field, shown after the last line of the text.
    void decrement() { setNumber(getNumber() - 1); }
    // Decimal value of the digits; 0 when there are none.
    int32_t getNumber() const;
    // Counts up by one in place; a full field wraps to zeros.
    void increment();
    // Characters of `text`, last first, as the field's digits (at most the field's size).
    void setDigits(const Ref<StringBuffer>& text);
    // The decimal digits of n, least significant first; negative numbers show 0.
    void setNumber(int32_t n);
    // Gives the sprite an empty field of n digits and makes room for them.
    void setDigitMax(int32_t n);
    int32_t digitMax() const { return m_digitMax; }

    // Size and checksum from the text, the digits and the font.
    void measure();

    // Reads a text file from the data folder and shows it wrapped to the
    // sprite's width; a missing file changes nothing.
    void loadText(const Ref<String>& name);
    void setFont(const Ref<Vfont>& font, const Ref<String>& text);
    void setText(const Ref<String>& text);
    // Breaks the text into lines no wider than the sprite (at spaces; a word
    // longer than a line stays whole) and shows it.
    void setWrapped(const Ref<StringBuffer>& text);
    void setTextColour(uint32_t colour) { m_textColour = colour; }

    int32_t signature(Fixed x, Fixed y, Fixed scale) override;
    void render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
        int32_t clipB) override;
    Ref<String> toString() const override;

    Ref<Vfont> m_font;
    ByteArray m_digits;  // least significant first
    int32_t m_digitCount = 0;
    int32_t m_digitMax = 0;
    Ref<String> m_text;
    uint32_t m_textColour;
    int32_t m_checksum = 0;

private:
    // Draws one character at the pen unless it is a space, lies outside the
    // clip columns or its line ends above the clip; gives its advance.
    Fixed drawAtPen(int32_t c, uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT,
        int32_t clipR, int32_t clipB, Fixed penX, Fixed penY, Fixed topLimit);
    // Wraps characters in place to `limit` pixels.
    void wrapChars(char* chars, int32_t length, int32_t limit) const;
};

}  // namespace tarnby
