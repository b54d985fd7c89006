// gdi.cpp - the counters behind the GDI helpers, and their exports for tests.
#include "render/gdi.h"

#include <vector>

#include "control/vantrel_api.h"

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

BOOL blit(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
          DWORD rop) {
    if (GetObjectType(target) != OBJ_MEMDC) ++toWindow;
    return BitBlt(target, x, y, width, height, source, sourceX, sourceY, rop);
}

}  // namespace gdi

// Tests cannot call into the extension except through exports.
extern "C" VANTREL_API int vantrelLiveGdiObjects() { return gdi::liveObjects(); }
extern "C" VANTREL_API int vantrelGdiObjectsMade() { return gdi::objectsMade(); }
extern "C" VANTREL_API int vantrelWindowBlits() { return gdi::windowBlits(); }
extern "C" VANTREL_API int vantrelGdiDeletedWhileSelected() { return gdi::deletedWhileSelected(); }
