// The sprite adders that make text lines: they live with the text sprite
// because they create one.
#include "sprite/vsprite.h"
#include "sprite/vtext.h"

namespace tarnby {

namespace {
// A new text line; a number field of `digits` places when digits >= 0.
Ref<Vtext> newLine(const Ref<String>& text, int32_t digits)
{
    Ref<Vtext> line = make<Vtext>(text);
    if (digits >= 0) {
        line->setDigitMax(digits);
    }
    return line;
}
}  // namespace

Ref<Vtext> Vsprite::addText(const Ref<String>& text) { return addText(text, -1); }

Ref<Vtext> Vsprite::addText(const Ref<String>& text, int32_t digits)
{
    Ref<Vtext> line = newLine(text, digits);
    addBelow(line);
    return line;
}

Ref<Vtext> Vsprite::addTextCentred(const Ref<String>& text) { return addTextCentred(text, -1); }

Ref<Vtext> Vsprite::addTextCentred(const Ref<String>& text, int32_t digits)
{
    Ref<Vtext> line = newLine(text, digits);
    addBelowCentred(line);
    return line;
}

}  // namespace tarnby
