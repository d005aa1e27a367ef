// Menus: building entries, keys and taps, selection and the icon layout.
#include "sprite/vmenu.h"

#include <cstring>

namespace tarnby {

namespace {

uint32_t g_menuColour = Vmenu::kDefaultColour;

Ref<Vilib>& iconLibraryStorage()
{
    static Ref<Vilib> library;
    return library;
}

// Command codes are characters, handed back as signed 8-bit values.
int32_t commandCode(int32_t tag) { return static_cast<int8_t>(tag); }

}  // namespace

Vmenu::Vmenu()
{
    m_depth = kDepth;
    m_colour = g_menuColour;
}

void Vmenu::setMenuColour(uint32_t colour) { g_menuColour = colour; }

uint32_t Vmenu::menuColour() { return g_menuColour; }

void Vmenu::setIconLibrary(const Ref<Vilib>& library) { iconLibraryStorage() = library; }

Ref<Vilib> Vmenu::iconLibrary() { return iconLibraryStorage(); }

Ref<Vtext> Vmenu::addItem(const Ref<String>& label, int32_t key)
{
    Ref<Vtext> text = make<Vtext>(label);
    text->setTag(key);
    m_height += 2;
    addEntry(text);
    m_height += 2;
    return text;
}

Ref<Vtext> Vmenu::addItem(const Ref<String>& label)
{
    int32_t key = label ? static_cast<int8_t>(label->chars()[0]) : 0;
    return addItem(label, key);
}

Ref<Vtext> Vmenu::addItemWithFrame(const Ref<String>& label, int32_t frame)
{
    Ref<Vtext> text = addItem(label);
    text->setFrame(frame);
    return text;
}

void Vmenu::addEntry(const Ref<Vsprite>& entry)
{
    if (!entry) {
        return;
    }
    if (m_selected) {
        entry->setOpacity(kHalf);
    } else {
        m_selected = entry;
    }
    addBelow(entry);
}

void Vmenu::addIcon(int32_t key, int32_t frame)
{
    Ref<Vsprite> tile = make<Vsprite>();
    tile->setColour(m_colour);
    tile->setTag(key);
    tile->setSize(m_tileSize, m_tileSize);
    addTail(tile);
    Ref<Vsprite> icon = make<Vsprite>();
    icon->setPicture(iconLibrary(), frame);
    icon->setPosition((m_tileSize - icon->getWidth()) / 2, (m_tileSize - icon->getHeight()) / 2);
    icon->setOpacity(m_dimOpacity);
    tile->add(icon);
}

Ref<Vsprite> Vmenu::getSelectedSprite() const
{
    if (!m_selected || !m_selected->m_child) {
        return m_selected;
    }
    Ref<Vsprite> last = m_selected->m_child;
    while (last->m_next) {
        last = last->m_next;
    }
    return last;
}

Ref<Vtext> Vmenu::getSelectedText() const
{
    if (!m_selected || m_selected->getFrame() != kNoFrame) {
        return nullptr;
    }
    // Entries are usually text lines, but any sprite may be one.
    return Ref<Vtext>(dynamic_cast<Vtext*>(getSelectedSprite().get()));
}

void Vmenu::dimSelected()
{
    Ref<Vsprite> shown = getSelectedSprite();
    if (shown) {
        shown->setOpacity(m_dimOpacity);
    }
}

void Vmenu::highlightSelected()
{
    if (!m_selected) {
        m_selected = m_child;
    }
    Ref<Vsprite> shown = getSelectedSprite();
    if (shown) {
        shown->setOpacity(kOne);
    }
}

void Vmenu::select(const Ref<Vsprite>& entry)
{
    dimSelected();
    m_selected = entry;
    highlightSelected();
}

void Vmenu::selectTag(int32_t tag)
{
    for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
        if (entry->getTag() == tag) {
            if (entry != m_selected) {
                select(entry);
            }
            return;
        }
    }
}

void Vmenu::selectIndex(int32_t index)
{
    dimSelected();
    Ref<Vsprite> entry = m_child;
    for (int32_t i = 0; entry && i < index; ++i) {
        entry = entry->m_next;
    }
    if (entry && index >= 0) {
        m_selected = entry;
        highlightSelected();
    }
}

int32_t Vmenu::selectedIndex() const
{
    int32_t i = 0;
    for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next, ++i) {
        if (entry == m_selected) {
            return i;
        }
    }
    return i;
}

int32_t Vmenu::entryCount() const
{
    int32_t n = 0;
    for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
        ++n;
    }
    return n;
}

int32_t Vmenu::handleKey(int32_t key, int32_t penX, int32_t penY)
{
    // A freshly highlighted icon fades back to dim over 32 frames.
    if (m_tileSize != 0 && m_selected) {
        Ref<Vsprite> icon = m_selected->m_child ? m_selected->m_child : m_selected;
        if (icon->getOpacity() > m_dimOpacity) {
            icon->setOpacity(icon->getOpacity() - 0x200);
        }
    }

    if (key == kKeySelect && (penX != 0 || penY != 0)) {
        if (m_tileSize == 0) {
            // Text lines span the panel, so only the rows decide.
            if (penX >= m_left && penX < m_right && penY >= m_top && penY < m_bottom) {
                for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
                    if (penY >= entry->m_top && penY < entry->m_bottom) {
                        select(entry);
                        return commandCode(entry->getTag());
                    }
                }
            }
        } else {
            // Tiles are small targets for a finger: their far edges count too.
            for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
                if (penX >= entry->m_left && penX <= entry->m_right && penY >= entry->m_top
                    && penY <= entry->m_bottom) {
                    select(entry);
                    return commandCode(entry->getTag());
                }
            }
        }
        key = 0;  // a tap beside every entry does nothing
    }

    if (m_tileSize == 0 && m_child) {
        if (key == kKeyUp) {
            Ref<Vsprite> previous;
            Ref<Vsprite> last;
            for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
                if (entry == m_selected) {
                    previous = last;
                }
                last = entry;
            }
            select(previous ? previous : last);
            return 0;
        }
        if (key == kKeyDown) {
            Ref<Vsprite> next = m_selected ? m_selected->m_next : nullptr;
            select(next ? next : m_child);
            return 0;
        }
        if ((key == kKeySelect || key == kKeyEnter) && m_selected) {
            return commandCode(m_selected->getTag());
        }
        if (key == kKeyLeft || key == kKeyRight) {
            // Settings entries ("Sound: on") change with left and right.
            Ref<Vtext> text = getSelectedText();
            if (text && std::strchr(text->toString()->chars(), ':')) {
                return commandCode(m_selected->getTag());
            }
        }
    }

    if (key != 0) {
        for (Ref<Vsprite> entry = m_child; entry; entry = entry->m_next) {
            if (entry->getTag() == key) {
                select(entry);
                return key;
            }
        }
    }
    return key;
}

void Vmenu::layoutIcons(int32_t width, int32_t height)
{
    if (m_tileSize == 0) {
        return;
    }
    const int32_t n = entryCount();
    const int32_t side = m_tileSize;
    // Two or fewer icons make a single (bottom) row rather than no rows at all.
    int32_t pairs = (n - 1) >> 1;
    pairs = pairs < 1 ? 1 : pairs;
    int32_t rowStep = height / pairs;
    const int32_t colStep = (width - 128) / 3 + 32;
    if (rowStep > colStep) {
        rowStep = colStep;
    }
    const int32_t halfGap = (colStep - 32) >> 1;
    const int32_t xIn = (colStep - side) >> 1;
    const int32_t yIn = (rowStep - side) >> 1;
    m_width = 0;  // a group node: the tiles draw and answer taps themselves
    m_height = rowStep * pairs - ((rowStep - 32) >> 1);

    Ref<Vsprite> entry = m_child;
    for (int32_t row = 0; row < pairs - 1 && entry; ++row) {
        const int32_t y = yIn + row * rowStep;
        entry->setPosition(xIn - halfGap, y);
        entry = entry->m_next;
        if (entry) {
            entry->setPosition(width - colStep + xIn + halfGap, y);
            entry = entry->m_next;
        }
    }
    const int32_t y = yIn + (pairs - 1) * rowStep;
    for (int32_t x = xIn - halfGap; entry; entry = entry->m_next, x += colStep) {
        entry->setPosition(x, y);
    }
}

}  // namespace tarnby
