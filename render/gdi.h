// gdi.h - owned GDI objects and scoped selections, counted so every paint can prove it cleans up.
#pragma once
#include <windows.h>

#include <deque>
#include <utility>
#include <vector>

#include "render/text_line.h"

namespace gdi {

// Counters of the helpers below. Objects made here live only inside one paint,
// so liveObjects() is 0 between paints.
int liveObjects();
int objectsMade();             // since the extension was loaded
int windowBlits();             // blit() calls whose target is not a memory context
int deletedWhileSelected();    // objects deleted while a selection still held them

namespace detail {
void noteMade();
void noteDeleted(HGDIOBJ object);
// Selections held by ScopedSelect, so a deletion can tell it is still selected.
void noteSelection(const void* owner, HDC dc, HGDIOBJ object);
void forgetSelection(const void* owner);
}  // namespace detail

// How long an owned object lives: one paint (counted, so the tests see every paint
// clean up after itself), or as long as the control that holds it (not counted).
enum class Lifetime { paint, control };

// A pen, brush, font or bitmap this code made; deleted when it goes out of scope.
// Declare it before the ScopedSelect that selects it, so the selection is undone first.
template <class Handle, Lifetime L = Lifetime::paint>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {
        if (handle_ && L == Lifetime::paint) detail::noteMade();
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~Owned() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without deleting it.
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset() {
        if (!handle_) return;
        if (L == Lifetime::paint) detail::noteDeleted(handle_);
        DeleteObject(handle_);
        handle_ = nullptr;
    }

private:
    Handle handle_ = nullptr;
};

using Pen = Owned<HPEN>;
using Brush = Owned<HBRUSH>;
using Font = Owned<HFONT>;
using Bitmap = Owned<HBITMAP>;
// What a control keeps across paints.
using KeptBrush = Owned<HBRUSH, Lifetime::control>;
using KeptBitmap = Owned<HBITMAP, Lifetime::control>;

// A memory device context; deleted (with DeleteDC) when it goes out of scope.
template <Lifetime L>
class BasicMemoryDC {
public:
    BasicMemoryDC() = default;
    explicit BasicMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {
        if (dc_ && L == Lifetime::paint) detail::noteMade();
    }
    BasicMemoryDC(const BasicMemoryDC&) = delete;
    BasicMemoryDC& operator=(const BasicMemoryDC&) = delete;
    BasicMemoryDC(BasicMemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    BasicMemoryDC& operator=(BasicMemoryDC&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    ~BasicMemoryDC() { reset(); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset() {
        if (!dc_) return;
        if (L == Lifetime::paint) detail::noteDeleted(nullptr);
        DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

using MemoryDC = BasicMemoryDC<Lifetime::paint>;
using KeptMemoryDC = BasicMemoryDC<Lifetime::control>;

// Selects an object into a context and selects the previous one back at scope end.
// A null object selects nothing (a font that could not be made leaves the current one).
// In the target of a deferring paint (see PaintCache) selecting and restoring only say
// what the context should hold; ready() selects it just before something is drawn.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object);
    template <class Handle, Lifetime L>
    ScopedSelect(HDC dc, const Owned<Handle, L>& object) : ScopedSelect(dc, HGDIOBJ(object.get())) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { restore(); }
    // Selects another object in the same slot; the first previous one still comes back.
    void swap(HGDIOBJ object);
    // Puts the previous object back now instead of at scope end.
    void restore();

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
    int slot_ = -1;  // >= 0: a deferred selection in this slot of the paint's target
    bool pushed_ = false;
};

// Call before every drawing call: a deferring paint selects what its target should
// hold, only in the slots the call uses: the pen and brush for shapes, the pen for
// lines and curves, the font for text (so a link's arrowhead brush or a caption's
// font stays while the next line is drawn).
void ready(HDC dc);
void readyForLines(HDC dc);
void readyForText(HDC dc);

// Background mode and text colour, restored at scope end.
class ScopedBkMode {
public:
    ScopedBkMode(HDC dc, int mode) : dc_(dc), previous_(SetBkMode(dc, mode)) {}
    ~ScopedBkMode() { if (previous_) SetBkMode(dc_, previous_); }
    ScopedBkMode(const ScopedBkMode&) = delete;
    ScopedBkMode& operator=(const ScopedBkMode&) = delete;

private:
    HDC dc_;
    int previous_;
};

class ScopedTextColor {
public:
    ScopedTextColor(HDC dc, COLORREF colour) : dc_(dc), previous_(SetTextColor(dc, colour)) {}
    ~ScopedTextColor() { if (previous_ != CLR_INVALID) SetTextColor(dc_, previous_); }
    ScopedTextColor(const ScopedTextColor&) = delete;
    ScopedTextColor& operator=(const ScopedTextColor&) = delete;

private:
    HDC dc_;
    COLORREF previous_;
};

// Pens, brushes and fonts shared by every drawing step of one paint: made on first
// use, counted like any owned object, deleted when the paint's cache goes (after
// every selection of the paint was undone). One cache is current at a time.
//
// A cache with a target also defers the selections into that context: a paint
// selects and restores a pen or brush around nearly every shape, and each call
// costs as much as a small shape; deferred, only the changes a shape sees are made.
// Every drawing call into the target must be preceded by ready(), readyForLines()
// or readyForText().
class PaintCache {
public:
    // target: the context whose selections are deferred (none: every selection is made).
    explicit PaintCache(HDC target = nullptr);
    ~PaintCache();
    PaintCache(const PaintCache&) = delete;
    PaintCache& operator=(const PaintCache&) = delete;
    // The cache of the paint under way; paints always open one.
    static PaintCache& current();
    HPEN pen(int style, int width, COLORREF colour);
    HBRUSH solidBrush(COLORREF colour);
    HBRUSH hollowBrush();
    // The caption font at a height (pixels).
    HFONT font(int height);
    // The advance widths of the caption font at a height, measured once per paint in
    // the target, where that font must be selected; null for any other context.
    const CharWidths* charWidths(HDC dc, int height);
    // True when selections into dc are deferred by this cache.
    bool defers(HDC dc) const { return dc && dc == target_; }
    // The clip box of dc; the target's is asked once (the paint does not change it
    // while drawing).
    int clipBox(HDC dc, RECT* box);

private:
    friend class ScopedSelect;
    friend void ready(HDC dc);
    friend void readyForLines(HDC dc);
    friend void readyForText(HDC dc);
    enum Slot { kPen, kBrush, kFont, kSlots };
    // Says what the target should hold in a slot; answers what it should have held.
    HGDIOBJ want(int slot, HGDIOBJ object);
    // The slot an object is deferred in, or -1.
    static int slotOf(HGDIOBJ object);
    // Selects what dc should hold in the slots [firstSlot, endSlot), if dc is the target.
    void selectWanted(HDC dc, int firstSlot, int endSlot);

    template <class Handle>
    struct Entry {
        int a, b;
        COLORREF colour;
        Owned<Handle> object;
    };
    std::vector<Entry<HPEN>> pens_;
    std::vector<Entry<HBRUSH>> brushes_;
    std::vector<Entry<HFONT>> fonts_;
    std::deque<std::pair<int, CharWidths>> widths_;  // by font height; deque: answers stay put
    HDC target_;
    HGDIOBJ wanted_[kSlots] = {};  // null: the target's own object
    HGDIOBJ held_[kSlots] = {};    // what the target holds now (null: its own)
    HGDIOBJ own_[kSlots] = {};     // the target's own objects, once one was replaced
    RECT clip_{};
    int clipKind_ = 0;  // GetClipBox's answer once asked, else 0
    PaintCache* previous_;
};

// BitBlt that counts copies to a window (any target that is not a memory context).
BOOL blit(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
          int sourceY, DWORD rop);

}  // namespace gdi
