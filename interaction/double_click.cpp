// double_click.cpp - a plain double-click collapses or expands the topmost node under it.
#include "interaction/gesture_support.h"
#include "interaction/handlers.h"
#include "interaction/hit_test.h"

int onDoubleClick(GraphContext& ctx, WindowPort& port, const PointerInput& in) {
    SchematicViewState& view = *ctx.viewState;
    port.takeFocus();
    view.leftButtonDown = 0;
    const KeyState& keys = in.keys;
    if (!keys.ctrl && !keys.alt && !keys.shift) {
        const NodesNearPoint near(ctx, float(in.x), float(in.y));
        for (int32_t k = near.size() - 1; k >= 0; --k) {
            SchematicNode& node = *nodeAt(ctx, near[k]);
            if (!nodeHitTest(node, float(in.x), float(in.y))) continue;
            if (node.isCollapsible) {
                node.collapsed = node.collapsed ? 0 : 1;
                invalidateAll(ctx);
            }
            break;
        }
    }
    raise(port, UiEvent::LButtonDblclk);
    return 1;
}
