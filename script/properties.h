// properties.h - the readers and writers of the control's properties, by subject.
// property_dispatch.cpp pairs each with its name; fields read or written through
// the templates of property_access.h appear in the tables only.
#pragma once
#include "script/property_access.h"

// commands.cpp: commands run by a read.
Value* readAddNode(SchematicControl& c);
Value* readAddInSocket(SchematicControl& c);
Value* readAddOutSocket(SchematicControl& c);
Value* readDeleteActiveSocket(SchematicControl& c);
Value* readDeleteActiveNode(SchematicControl& c);  // also deleteNodeActive
Value* readRedrawView(SchematicControl& c);
Value* readRedrawNode(SchematicControl& c);

// addressing.cpp: the active node and socket, and the selection.
Value* readActiveNode(SchematicControl& c);
Value* writeActiveNode(SchematicControl& c, Value* value);
Value* readActiveSocket(SchematicControl& c);
Value* writeActiveSocket(SchematicControl& c, Value* value);
Value* readSelectedNodeIndex(SchematicControl& c);
Value* writeSelectedNodeIndex(SchematicControl& c, Value* value);

// queries.cpp: counts, and the queries that take their argument by assignment.
Value* readGetNodeCount(SchematicControl& c);
Value* readGetSelectionCount(SchematicControl& c);
Value* readGetSocketCount(SchematicControl& c);
Value* readGetActiveSocketType(SchematicControl& c);
Value* readGetChildCount(SchematicControl& c);
Value* readGetDeletedNodeCount(SchematicControl& c);
Value* writeFindNodeByPos(SchematicControl& c, Value* value);
Value* writeChildIndex(SchematicControl& c, Value* value);
Value* writeGetDeletedNodeIndex(SchematicControl& c, Value* value);

// node_properties.cpp: attributes of the active node.
Value* readSceneNode(SchematicControl& c);
Value* writeSceneNode(SchematicControl& c, Value* value);
Value* writeActiveNodePosRelative(SchematicControl& c, Value* value);
Value* readNodeSize(SchematicControl& c);
Value* writeNodeSize(SchematicControl& c, Value* value);
Value* readTextAlign(SchematicControl& c);
Value* writeTextAlign(SchematicControl& c, Value* value);
Value* readParentNode(SchematicControl& c);
Value* writeParentNode(SchematicControl& c, Value* value);
Value* readViewAlign(SchematicControl& c);
Value* writeViewAlign(SchematicControl& c, Value* value);
Value* readDrawLayer(SchematicControl& c);
Value* writeDrawLayer(SchematicControl& c, Value* value);

// socket_properties.cpp: attributes of the active socket.
Value* readSocketName(SchematicControl& c);
Value* writeActiveSocketFlipped(SchematicControl& c, Value* value);
Value* readActiveSocketValue(SchematicControl& c);
Value* writeActiveSocketValue(SchematicControl& c, Value* value);
Value* readSceneController(SchematicControl& c);
Value* writeSceneController(SchematicControl& c, Value* value);

// link_properties.cpp: the links of the active socket and the selected connection.
Value* readConnectingNodeIndices(SchematicControl& c);
Value* readConnectingSocketIndices(SchematicControl& c);
Value* readSelectedConnectionIndex(SchematicControl& c);
Value* readSelectedConnectionNodeAndSocket(SchematicControl& c);
Value* writeToggleConnection(SchematicControl& c, Value* value);
Value* writeSetConnectionWeight(SchematicControl& c, Value* value);
Value* writeGetConnectionWeight(SchematicControl& c, Value* value);

// view_properties.cpp: the view and control-wide settings.
Value* readZoom(SchematicControl& c);
Value* writeZoom(SchematicControl& c, Value* value);
Value* readPan(SchematicControl& c);
Value* writePan(SchematicControl& c, Value* value);
Value* readDrawLastIndex(SchematicControl& c);
Value* writeDrawLastIndex(SchematicControl& c, Value* value);
Value* readNodeTransparency(SchematicControl& c);
Value* writeNodeTransparency(SchematicControl& c, Value* value);
Value* readSetInfo(SchematicControl& c);
Value* writeSetInfo(SchematicControl& c, Value* value);
Value* readBackgroundPath(SchematicControl& c);
Value* writeBackgroundPath(SchematicControl& c, Value* value);

// window_size.cpp: the control window's size while the rollout is open.
Value* readWidth(SchematicControl& c);
Value* writeWidth(SchematicControl& c, Value* value);
Value* readHeight(SchematicControl& c);
Value* writeHeight(SchematicControl& c, Value* value);

// bitmap_properties.cpp: node and background bitmaps, material swatches.
Value* readBitmapAsOk(SchematicControl& c);  // nodeBitmap, backgroundBitmap
Value* writeNodeBitmap(SchematicControl& c, Value* value);
Value* writeBackgroundBitmap(SchematicControl& c, Value* value);
Value* writeSetRenderBall(SchematicControl& c, Value* value);

// dos_command.cpp: a console command run hidden, waited for.
Value* writeDosCommandHidden(SchematicControl& c, Value* value);

// shader_bridge.cpp: requests to the companion shader library.
Value* writeGenerateHLSL(SchematicControl& c, Value* value);
Value* readDragDropShaderNode(SchematicControl& c);
