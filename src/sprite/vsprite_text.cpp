// The sprite adders that make text lines: they live with the text sprite
// because they create one.
#include "sprite/vsprite.h"
#include "sprite/vtext.h"

namespace tarnby {

Ref<Vtext> Vsprite::addText(const Ref<String>& text)
{
    Ref<Vtext> line = make<Vtext>(text);
    addBelow(line);
    return line;
}

Ref<Vtext> Vsprite::addText(const Ref<String>& text, int32_t digits)
{
    Ref<Vtext> line = make<Vtext>(text);
    line->setDigitMax(digits);
    addBelow(line);
    return line;
}

Ref<Vtext> Vsprite::addTextCentred(const Ref<String>& text)
{
    Ref<Vtext> line = make<Vtext>(text);
    addBelowCentred(line);
    return line;
}

Ref<Vtext> Vsprite::addTextCentred(const Ref<String>& text, int32_t digits)
{
    Ref<Vtext> line = make<Vtext>(text);
    line->setDigitMax(digits);
    addBelowCentred(line);
    return line;
}

}  // namespace tarnby
