// properties.h - the readers and writers of the control's properties, by subject.
// property_dispatch.cpp pairs each with its name; fields read or written through
// the templates of property_access.h appear in the tables only.
#pragma once
#include "script/property_access.h"

// commands.cpp: commands run by a read.
Value* readAddNode(PropertyTarget& c);
Value* readAddInSocket(PropertyTarget& c);
Value* readAddOutSocket(PropertyTarget& c);
Value* readDeleteActiveSocket(PropertyTarget& c);
Value* readDeleteActiveNode(PropertyTarget& c);  // also deleteNodeActive
Value* readRedrawView(PropertyTarget& c);
Value* readRedrawNode(PropertyTarget& c);

// addressing.cpp: the active node and socket, and the selection.
Value* readActiveNode(PropertyTarget& c);
Value* writeActiveNode(PropertyTarget& c, Value* value);
Value* readActiveSocket(PropertyTarget& c);
Value* writeActiveSocket(PropertyTarget& c, Value* value);
Value* readSelectedNodeIndex(PropertyTarget& c);
Value* writeSelectedNodeIndex(PropertyTarget& c, Value* value);

// queries.cpp: counts, and the queries that take their argument by assignment.
Value* readGetNodeCount(PropertyTarget& c);
Value* readGetSelectionCount(PropertyTarget& c);
Value* readGetSocketCount(PropertyTarget& c);
Value* readGetActiveSocketType(PropertyTarget& c);
Value* readGetChildCount(PropertyTarget& c);
Value* readGetDeletedNodeCount(PropertyTarget& c);
Value* writeFindNodeByPos(PropertyTarget& c, Value* value);
Value* writeChildIndex(PropertyTarget& c, Value* value);
Value* writeGetDeletedNodeIndex(PropertyTarget& c, Value* value);

// node_properties.cpp: attributes of the active node.
Value* readSceneNode(PropertyTarget& c);
Value* writeSceneNode(PropertyTarget& c, Value* value);
Value* writeActiveNodePosRelative(PropertyTarget& c, Value* value);
Value* readNodeSize(PropertyTarget& c);
Value* writeNodeSize(PropertyTarget& c, Value* value);
Value* readTextAlign(PropertyTarget& c);
Value* writeTextAlign(PropertyTarget& c, Value* value);
Value* readParentNode(PropertyTarget& c);
Value* writeParentNode(PropertyTarget& c, Value* value);
Value* readViewAlign(PropertyTarget& c);
Value* writeViewAlign(PropertyTarget& c, Value* value);
Value* readDrawLayer(PropertyTarget& c);
Value* writeDrawLayer(PropertyTarget& c, Value* value);

// socket_properties.cpp: attributes of the active socket.
Value* readSocketName(PropertyTarget& c);
Value* writeActiveSocketFlipped(PropertyTarget& c, Value* value);
Value* readActiveSocketValue(PropertyTarget& c);
Value* writeActiveSocketValue(PropertyTarget& c, Value* value);
Value* readSceneController(PropertyTarget& c);
Value* writeSceneController(PropertyTarget& c, Value* value);

// link_properties.cpp: the links of the active socket and the selected connection.
Value* readConnectingNodeIndices(PropertyTarget& c);
Value* readConnectingSocketIndices(PropertyTarget& c);
Value* readSelectedConnectionIndex(PropertyTarget& c);
Value* readSelectedConnectionNodeAndSocket(PropertyTarget& c);
Value* writeToggleConnection(PropertyTarget& c, Value* value);
Value* writeSetConnectionWeight(PropertyTarget& c, Value* value);
Value* writeGetConnectionWeight(PropertyTarget& c, Value* value);

// view_properties.cpp: the view and control-wide settings.
Value* readZoom(PropertyTarget& c);
Value* writeZoom(PropertyTarget& c, Value* value);
Value* readPan(PropertyTarget& c);
Value* writePan(PropertyTarget& c, Value* value);
Value* readDrawLastIndex(PropertyTarget& c);
Value* writeDrawLastIndex(PropertyTarget& c, Value* value);
Value* readNodeTransparency(PropertyTarget& c);
Value* writeNodeTransparency(PropertyTarget& c, Value* value);
Value* readSetInfo(PropertyTarget& c);
Value* writeSetInfo(PropertyTarget& c, Value* value);
Value* readBackgroundPath(PropertyTarget& c);
Value* writeBackgroundPath(PropertyTarget& c, Value* value);

// window_size.cpp: the control window's size while the rollout is open.
Value* readWidth(PropertyTarget& c);
Value* writeWidth(PropertyTarget& c, Value* value);
Value* readHeight(PropertyTarget& c);
Value* writeHeight(PropertyTarget& c, Value* value);

// bitmap_properties.cpp: node and background bitmaps, material swatches.
Value* readBitmapAsOk(PropertyTarget& c);  // nodeBitmap, backgroundBitmap
Value* writeNodeBitmap(PropertyTarget& c, Value* value);
Value* writeBackgroundBitmap(PropertyTarget& c, Value* value);
Value* writeSetRenderBall(PropertyTarget& c, Value* value);

// dos_command.cpp: a console command run hidden, waited for.
Value* writeDosCommandHidden(PropertyTarget& c, Value* value);

// shader_bridge.cpp: requests to the companion shader library.
Value* writeGenerateHLSL(PropertyTarget& c, Value* value);
Value* readDragDropShaderNode(PropertyTarget& c);
