// graph.h - the graph model: records, operations and geometry in one include.
#pragma once
#include "graph/graph_context.h"
#include "graph/records.h"
#include "graph/drawing_sizes.h"
#include "graph/geometry.h"
#include "graph/zoom_limits.h"
#include "graph/link_ops.h"
#include "graph/socket_ops.h"
#include "graph/node_ops.h"
#include "graph/hierarchy.h"
#include "graph/selection.h"
#include "graph/spatial_index.h"
#include "graph/schematic.h"
