// view_properties.cpp - the view transform and the control-wide settings.
#include "graph/zoom_limits.h"
#include "script/properties.h"

Value* readZoom(PropertyTarget& c) { return Float::intern(c.viewState->zoom); }

Value* writeZoom(PropertyTarget& c, Value* value) {
    c.viewState->zoom = atLeastScriptZoom(value->to_float());
    return &true_value;
}

Value* readPan(PropertyTarget& c) { return pointValue(c.viewState->pan); }

Value* writePan(PropertyTarget& c, Value* value) {
    c.viewState->pan = toVec2(value);
    return &true_value;
}

Value* readDrawLastIndex(PropertyTarget& c) { return numberValue(c.viewState->drawLastIndex); }

Value* writeDrawLastIndex(PropertyTarget& c, Value* value) {
    const int n = toIndex(value);
    // 0 and anything below it mean none; the painter checks the upper end.
    c.viewState->drawLastIndex = n > 0 ? n - 1 : -1;
    return &ok;
}

Value* readNodeTransparency(PropertyTarget& c) {
    return Float::intern(c.viewState->nodeTransparency);
}

Value* writeNodeTransparency(PropertyTarget& c, Value* value) {
    c.viewState->nodeTransparency = value->to_float();
    return &ok;
}

Value* readSetInfo(PropertyTarget& c) { return textValue(c.viewState->infoText); }

Value* writeSetInfo(PropertyTarget& c, Value* value) {
    c.viewState->infoText = recordText(value);
    return &ok;
}

Value* readBackgroundPath(PropertyTarget& c) { return textValue(c.backgroundPath); }

Value* writeBackgroundPath(PropertyTarget& c, Value* value) {
    c.backgroundPath = recordText(value);
    return &ok;
}
