// view_transform.h - zoom and pan: client = graph * zoom + pan, per axis.
#pragma once
#include "graph/records.h"

inline constexpr double kZoomFloor = 0.19;   // a wheel step below this lands on kZoomReset
inline constexpr float kZoomReset = 0.2f;

// One wheel step in or out; with zoomAboutMouse the graph point under
// pointClient stays where it is. Steps below kZoomFloor land on kZoomReset.
void stepZoom(SchematicViewState& view, bool zoomIn, Vec2 pointClient);
// Pan that follows the pointer from the anchor of the middle press.
void panToPointer(SchematicViewState& view, Vec2 pointClient);
