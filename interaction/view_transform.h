// view_transform.h - zoom and pan: client = graph * zoom + pan, per axis.
#pragma once
#include "graph/records.h"
#include "graph/zoom_limits.h"

// One wheel step in or out; with zoomAboutMouse the graph point under
// pointClient stays where it is. Steps below kMinWheelZoom land on kWheelZoomReset.
void stepZoom(SchematicViewState& view, bool zoomIn, Vec2 pointClient);
// Pan that follows the pointer from the anchor of the middle press.
void panToPointer(SchematicViewState& view, Vec2 pointClient);
