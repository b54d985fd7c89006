// control_seam.h - the graph's way out to the control's window and script events.
#pragma once
#include "graph/graph_context.h"

class SchematicControl;

class ControlSeam : public GraphSeam {
public:
    explicit ControlSeam(SchematicControl* control) : control(control) {}
    void redraw(const RectI* rect) override;
    void releaseBitmap(void* bitmapHandle) override;
    void raiseEvent(GraphEvent event, const int32_t* args, int count) override;

private:
    SchematicControl* control;
};
