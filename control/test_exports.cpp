// test_exports.cpp - what the tests reach the extension through: GDI counters and two paints.
#include "control/schematic_control.h"
#include "render/gdi.h"
#include "render/paint_view.h"

// Tests cannot call into the extension except through exports.
extern "C" VANTREL_API int vantrelLiveGdiObjects() { return gdi::liveObjects(); }
extern "C" VANTREL_API int vantrelGdiObjectsMade() { return gdi::objectsMade(); }
extern "C" VANTREL_API int vantrelWindowBlits() { return gdi::windowBlits(); }
extern "C" VANTREL_API int vantrelGdiDeletedWhileSelected() { return gdi::deletedWhileSelected(); }

// The paint without the spatial index (every node and link visited), and the culled
// paint of one region, both into the back buffer only.
extern "C" VANTREL_API void vantrelPaintStraightforward(SchematicControl* control) {
    if (!control) return;
    PaintTarget target = control->paintTarget();
    paintStraightforward(target);
}
extern "C" VANTREL_API void vantrelPaintRegion(SchematicControl* control, const RECT* region) {
    if (!control) return;
    PaintTarget target = control->paintTarget();
    paintView(target, nullptr, region);
}
