// The node of the scene graph: position, scale, depth, picture or fill, children.
//
// Everything on screen is a Vsprite. Once per frame the root viewport walks the
// tree twice: `update` turns relative positions into absolute pixel bounds and
// reports changed areas (by comparing a change signature with last frame's),
// then `render` draws each changed area, own content first, then the children
// from the deepest to the nearest.
//
// Parent and child hold counted handles to each other, so a tree is a reference
// cycle: take it apart with `remove`, `removeAll` or `destroy` before its last
// outside handle goes.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "runtime/object.h"
#include "runtime/string.h"
#include "runtime/v.h"

namespace tarnby {

class Vtext;

class Vsprite : public V {
public:
    static constexpr int32_t kNoFrame = -1;

    Vsprite();
    // A sprite showing picture `frame` of `library` at whole pixels (x, y),
    // added to `parent` by depth (when a parent is given).
    Vsprite(const Ref<Vsprite>& parent, const Ref<Vilib>& library, int32_t frame, int32_t x, int32_t y);
    // Releases, in this order, the picture library, the next sibling, the
    // parent and the first child.
    ~Vsprite() override;

    // --- Tree building -------------------------------------------------------
    // Insert keeping the list ordered by depth, deepest first; among equal
    // depths the newest goes last. A child that already has a parent is left alone.
    void add(const Ref<Vsprite>& child);
    // Text lines stacked downwards (`addBelow`); return the new text sprite.
    // These live beside Vtext (vsprite_text.cpp).
    Ref<Vtext> addText(const Ref<String>& text);
    Ref<Vtext> addText(const Ref<String>& text, int32_t digits);
    Ref<Vtext> addTextCentred(const Ref<String>& text);
    Ref<Vtext> addTextCentred(const Ref<String>& text, int32_t digits);
    // `addTail`, then place the child under the earlier ones and grow to fit.
    void addBelow(const Ref<Vsprite>& child);
    // `addTail`, then centre the child in this sprite.
    void addCentred(const Ref<Vsprite>& child);
    // `addBelow`, then centre the child horizontally.
    void addBelowCentred(const Ref<Vsprite>& child);
    // Append at the end of the list (drawn last, on top) whatever its depth.
    void addTail(const Ref<Vsprite>& child);

    // Unlink a child (its area is redrawn). Null, parentless or foreign sprites
    // change nothing in this list.
    void remove(const Ref<Vsprite>& child);
    void removeAll();
    void removeSelf();
    // Take the whole subtree apart, breaking every parent-child cycle below.
    void destroy();

    // --- Movement and placement ----------------------------------------------
    void moveBy(Fixed dx, Fixed dy);
    // Centre in the pixel rectangle (l, t, r, b), keeping the top on screen.
    void centreIn(int32_t l, int32_t t, int32_t r, int32_t b);

    // --- Per-frame passes ----------------------------------------------------
    // Sum of the visible state; equal sums mean nothing visible changed.
    virtual int32_t signature(Fixed x, Fixed y, Fixed scale);
    // Draw this sprite and its subtree into a frame of 0xDDRRGGBB words,
    // touching only the clip rectangle [clipL, clipR) x [clipT, clipB).
    virtual void render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT,
        int32_t clipR, int32_t clipB);
    // Fill a rectangle inside the frame with an 0xAARRGGBB colour.
    void fillRect(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t l, int32_t t, int32_t r, int32_t b,
        uint32_t colour);
    // Redraw this subtree on the next frame whether or not it changed.
    void invalidateAll();
    // Lay out this sprite and its subtree from the parent's absolute position
    // and scale, reporting the old and new bounds of every changed sprite.
    virtual void update(Fixed parentX, Fixed parentY, Fixed parentScale);
    // Bounds from an absolute position and scale.
    void layout(Fixed x, Fixed y, Fixed scale);
    // Report a changed pixel area up the tree (to the root viewport).
    virtual void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b);
    void invalidate();
    // Redraw the changed areas; a sprite hands this to its parent.
    virtual void paint();

    // --- Queries -------------------------------------------------------------
    Fixed getOpacity() const { return m_opacity; }
    Ref<Vsprite> getChild() const { return m_child; }
    int32_t getHeight() const { return m_height; }
    int32_t getTag() const { return m_tag; }
    int32_t getFrame() const { return m_frame; }
    Ref<Vsprite> getParent() const { return m_parent; }
    Fixed getScale() const { return m_scale; }
    int32_t getWidth() const { return m_width; }
    Fixed getX3d() const { return m_x3d; }
    Fixed getY3d() const { return m_y3d; }
    Fixed getZ3d() const { return m_z3d; }
    Fixed getX() const { return m_x; }
    Fixed getY() const { return m_y; }
    bool hasParent() const { return m_parent != nullptr; }
    // Is the pixel (x, y) within `margin` pixels of the sprite (a group node:
    // of any of its children)?
    bool hitTest(int32_t x, int32_t y, int32_t margin) const;
    bool contains(int32_t x, int32_t y) const { return hitTest(x, y, 0); }
    // "Sprite image " and the frame number; text sprites give their text.
    virtual Ref<String> toString() const;

    // Let the picture cache reclaim this sprite's picture first.
    void releasePicture();

    // --- Setters -------------------------------------------------------------
    void setOpacity(Fixed opacity) { m_opacity = opacity; }
    void setAnchor(int32_t ax, int32_t ay)
    {
        m_anchorX = ax;
        m_anchorY = ay;
    }
    void setColour(uint32_t colour) { m_colour = colour; }
    void setColour2(uint32_t colour) { m_colour2 = colour; }
    void setBounds(int32_t l, int32_t t, int32_t r, int32_t b)
    {
        m_left = l;
        m_top = t;
        m_right = r;
        m_bottom = b;
    }
    void setTag(int32_t tag) { m_tag = tag; }
    // Show picture `frame` of `library`, taking its size and hot spot.
    void setPicture(const Ref<Vilib>& library, int32_t frame);
    void setFrame(int32_t frame) { setPicture(m_pictures, frame); }
    void setScale(Fixed scale) { m_scale = scale; }
    void setMaxScale(Fixed scale) { m_maxScale = scale; }
    void setMinScale(Fixed scale) { m_minScale = scale; }
    virtual void setSize(int32_t width, int32_t height);
    void setPosition3d(Fixed x, Fixed y, Fixed z)
    {
        m_x3d = x;
        m_y3d = y;
        m_z3d = z;
    }
    // Whole pixels.
    void setPosition(int32_t x, int32_t y)
    {
        m_x = toFixed(x);
        m_y = toFixed(y);
    }
    void setPositionFixed(Fixed x, Fixed y)
    {
        m_x = x;
        m_y = y;
    }
    // Does not move the sprite within its parent's list (re-add it for that).
    void setDepth(Fixed depth) { m_depth = depth; }

    // --- State (read by the drawing code of subclasses and by the game) -------
    Fixed m_opacity = kOne;
    Ref<Vsprite> m_child;
    Ref<Vsprite> m_parent;
    Ref<Vsprite> m_next;
    uint32_t m_colour = 0;   // 0xAARRGGBB fill when there is no picture; AA 0 draws nothing
    uint32_t m_colour2 = 0;  // non-zero: vertical gradient from m_colour (top) to this (bottom)
    int32_t m_signature = 0;
    int32_t m_tag = 0;
    Ref<Vilib> m_pictures;
    int32_t m_frame = kNoFrame;
    bool m_snap = false;  // truncate the absolute position to whole pixels
    Fixed m_scale = kOne;
    Fixed m_drawScale = 0;
    Fixed m_minScale = 1;
    Fixed m_maxScale = 0x7fffffff;
    bool m_extendLeft = false;  // bounds reach further left by half the scaled height
    int32_t m_left = 0;         // absolute bounds in pixels, half-open
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    Fixed m_originX = 0;  // absolute top-left corner of the picture
    Fixed m_originY = 0;
    Fixed m_x = 0;  // position relative to the parent, in the parent's units
    Fixed m_y = 0;
    Fixed m_depth = 0;    // list order (deepest first) and depth byte m_depth >> 15
    int32_t m_width = 0;  // 0: a group node that draws nothing itself
    int32_t m_height = 0;
    int32_t m_anchorX = 0;  // hot spot: the picture's point that sits at the position
    int32_t m_anchorY = 0;
    Fixed m_x3d = 0;  // world position of game objects
    Fixed m_y3d = 0;
    Fixed m_z3d = 0;
    // Pixels of the picture that nearer ground hid when the 3-D view last drew it.
    int32_t m_hiddenPixels = 0;
};

}  // namespace tarnby
