// gdi.cpp - the counters behind the GDI helpers.
#include "render/gdi.h"

#include <utility>
#include <vector>

namespace gdi {
namespace {
int live = 0;
int made = 0;
int toWindow = 0;
int misuses = 0;

struct Selection {
    const void* owner;
    HDC dc;
    HGDIOBJ object;
};
std::vector<Selection> selections;  // a handful at a time: one per open ScopedSelect

UINT currentObjectKind(HGDIOBJ object) {
    switch (GetObjectType(object)) {
        case OBJ_PEN: return OBJ_PEN;
        case OBJ_BRUSH: return OBJ_BRUSH;
        case OBJ_FONT: return OBJ_FONT;
        case OBJ_BITMAP: return OBJ_BITMAP;
        default: return 0;
    }
}
}  // namespace

int liveObjects() { return live; }
int objectsMade() { return made; }
int windowBlits() { return toWindow; }
int deletedWhileSelected() { return misuses; }

namespace detail {
void noteMade() {
    ++live;
    ++made;
}

void noteDeleted(HGDIOBJ object) {
    --live;
    if (!object) return;
    // GDI does not refuse to delete a selected object; catch it here instead.
    UINT kind = currentObjectKind(object);
    for (const Selection& s : selections)
        if (s.object == object && kind && GetCurrentObject(s.dc, kind) == object) ++misuses;
}

void noteSelection(const void* owner, HDC dc, HGDIOBJ object) {
    for (Selection& s : selections)
        if (s.owner == owner) {
            s.object = object;
            return;
        }
    selections.push_back({owner, dc, object});
}

void forgetSelection(const void* owner) {
    for (size_t i = selections.size(); i-- > 0;)
        if (selections[i].owner == owner) {
            selections.erase(selections.begin() + i);
            return;
        }
}
}  // namespace detail

namespace {
PaintCache* currentCache = nullptr;
// A drawing step called outside any paint (none is today) gets a cache that lives
// as long as the extension, rather than none.
PaintCache* fallbackCache = nullptr;

template <class Entry, class Make>
auto find(std::vector<Entry>& entries, int a, int b, COLORREF colour, Make make) {
    for (Entry& e : entries)
        if (e.a == a && e.b == b && e.colour == colour) return e.object.get();
    entries.push_back({a, b, colour, {}});
    entries.back().object = decltype(entries.back().object)(make());
    return entries.back().object.get();
}
}  // namespace

PaintCache::PaintCache(HDC target) : target_(target), previous_(currentCache) { currentCache = this; }
PaintCache::~PaintCache() {
    // The target's own objects go back before ours are deleted.
    for (int slot = 0; slot < kSlots; ++slot)
        if (held_[slot] && own_[slot]) SelectObject(target_, own_[slot]);
    currentCache = previous_;
}

HGDIOBJ PaintCache::want(int slot, HGDIOBJ object) { return std::exchange(wanted_[slot], object); }

int PaintCache::slotOf(HGDIOBJ object) {
    switch (GetObjectType(object)) {
        case OBJ_PEN:
        case OBJ_EXTPEN: return kPen;
        case OBJ_BRUSH: return kBrush;
        case OBJ_FONT: return kFont;
        default: return -1;  // bitmaps are selected at once
    }
}

void PaintCache::selectWanted(HDC dc, int firstSlot, int endSlot) {
    if (!defers(dc)) return;
    for (int slot = firstSlot; slot < endSlot; ++slot) {
        if (wanted_[slot] == held_[slot]) continue;
        HGDIOBJ object = wanted_[slot] ? wanted_[slot] : own_[slot];
        if (!object) continue;  // the target still holds its own
        HGDIOBJ before = SelectObject(target_, object);
        if (!before) continue;  // not selected: the target holds what it held
        if (!held_[slot] && !own_[slot]) own_[slot] = before;
        held_[slot] = wanted_[slot];
    }
}

const CharWidths* PaintCache::charWidths(HDC dc, int height) {
    if (!defers(dc)) return nullptr;
    for (const auto& entry : widths_)
        if (entry.first == height) return &entry.second;
    CharWidths measured;
    if (!GetCharWidth32W(dc, CharWidths::kFirst, CharWidths::kLast, measured.width)) return nullptr;
    widths_.emplace_back(height, measured);
    return &widths_.back().second;
}

int PaintCache::clipBox(HDC dc, RECT* box) {
    if (!defers(dc)) return GetClipBox(dc, box);
    if (!clipKind_) clipKind_ = GetClipBox(dc, &clip_);
    *box = clip_;
    return clipKind_;
}

PaintCache& PaintCache::current() {
    if (currentCache) return *currentCache;
    if (!fallbackCache) fallbackCache = new PaintCache(nullptr);  // becomes current itself
    return *fallbackCache;
}

HPEN PaintCache::pen(int style, int width, COLORREF colour) {
    return find(pens_, style, width, colour, [&] { return CreatePen(style, width, colour); });
}

HBRUSH PaintCache::solidBrush(COLORREF colour) {
    return find(brushes_, BS_SOLID, 0, colour, [&] { return CreateSolidBrush(colour); });
}

HBRUSH PaintCache::hollowBrush() {
    return find(brushes_, BS_NULL, 0, 0, [] {
        LOGBRUSH hollow{BS_NULL, 0, 0};
        return CreateBrushIndirect(&hollow);
    });
}

HFONT PaintCache::font(int height) {
    return find(fonts_, height, 0, 0, [&] {
        return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                           CLEARTYPE_QUALITY, FF_SWISS, "");
    });
}

ScopedSelect::ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc) {
    if (!dc || !object) return;
    PaintCache& cache = PaintCache::current();
    if (cache.defers(dc)) slot_ = PaintCache::slotOf(object);
    if (slot_ >= 0)
        previous_ = cache.want(slot_, object);
    else {
        previous_ = SelectObject(dc, object);
        detail::noteSelection(this, dc, object);
    }
    pushed_ = true;
}

void ScopedSelect::swap(HGDIOBJ object) {
    if (!pushed_ || !object) return;
    if (slot_ >= 0) {
        PaintCache::current().want(slot_, object);
        return;
    }
    SelectObject(dc_, object);
    detail::noteSelection(this, dc_, object);
}

void ScopedSelect::restore() {
    if (!pushed_) return;
    pushed_ = false;
    if (slot_ >= 0) {
        PaintCache::current().want(slot_, previous_);
        return;
    }
    if (previous_) SelectObject(dc_, previous_);
    detail::forgetSelection(this);
}

void ready(HDC dc) { PaintCache::current().selectWanted(dc, PaintCache::kPen, PaintCache::kFont); }
void readyForLines(HDC dc) { PaintCache::current().selectWanted(dc, PaintCache::kPen, PaintCache::kBrush); }
void readyForText(HDC dc) { PaintCache::current().selectWanted(dc, PaintCache::kFont, PaintCache::kSlots); }

BOOL blit(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
          DWORD rop) {
    if (GetObjectType(target) != OBJ_MEMDC) ++toWindow;
    return BitBlt(target, x, y, width, height, source, sourceX, sourceY, rop);
}

}  // namespace gdi
