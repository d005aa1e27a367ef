// Menus: a sprite whose children are the entries. A text menu stacks one text
// line per entry and dims all but the selected one; an icon menu holds square
// tiles with a centred icon, laid out along the screen's sides and bottom.
// The screen showing a menu feeds it one key per frame through `handleKey`
// and acts on the command code that comes back.
#pragma once

#include <cstdint>

#include "image/vilib.h"
#include "runtime/keys.h"
#include "runtime/string.h"
#include "sprite/vsprite.h"
#include "sprite/vtext.h"

namespace tarnby {

class Vmenu : public Vsprite {
public:
    static constexpr uint32_t kDefaultColour = 0x80008080;  // half-transparent teal panel
    static constexpr Fixed kDepth = -1000;                  // in front of the scene

    Vmenu();

    // Process-wide: the panel colour new menus take, and the pictures of icon tiles.
    static void setMenuColour(uint32_t colour);
    static uint32_t menuColour();
    static void setIconLibrary(const Ref<Vilib>& library);
    static Ref<Vilib> iconLibrary();

    // A text entry answering `key`, two pixels of space above and below it.
    Ref<Vtext> addItem(const Ref<String>& label, int32_t key);
    // The label's first character is its key; the label is shown whole.
    Ref<Vtext> addItem(const Ref<String>& label);
    // A text entry that also carries a picture frame (not a text entry for
    // `getSelectedText`).
    Ref<Vtext> addItemWithFrame(const Ref<String>& label, int32_t frame);
    // Any sprite as an entry; the first one added is selected, later ones dimmed.
    void addEntry(const Ref<Vsprite>& entry);
    // A square tile of `m_tileSize` with the icon library's picture `frame` centred in it.
    void addIcon(int32_t key, int32_t frame);

    void dimSelected();
    // The selected entry, or for a tile its icon.
    Ref<Vsprite> getSelectedSprite() const;
    // The selected entry's text when it is a text entry; null otherwise.
    Ref<Vtext> getSelectedText() const;
    // One step of interaction: gives the chosen entry's command code, 0 when
    // the key was used up here, or the key itself for the owner to handle.
    int32_t handleKey(int32_t key, int32_t penX, int32_t penY);
    // Places the tiles for a screen `width` wide with `height` rows free.
    void layoutIcons(int32_t width, int32_t height);
    void selectTag(int32_t tag);
    void highlightSelected();
    void selectIndex(int32_t index);
    int32_t selectedIndex() const;

    Fixed m_dimOpacity = kHalf;
    Ref<Vsprite> m_selected;
    int32_t m_tileSize = 0;  // 0: a text menu

private:
    void select(const Ref<Vsprite>& entry);
    int32_t entryCount() const;
};

}  // namespace tarnby
