// property_dispatch.cpp - every property name the control answers, read and written.
#include <iterator>

#include "script/names.h"
#include "script/properties.h"
#include "script/property_dispatch.h"
#include "script/storage_container.h"

namespace {

using A = Answer;
using Node = SchematicNode;
using Socket = SchematicSocket;
using View = SchematicViewState;
constexpr Touches none = Touches::nothing, node = Touches::activeNode, all = Touches::graph;

// The name is held by the address of its global: the globals are filled when
// the extension is initialised, after these tables are built.
// Each entry says what it may change that the spatial index must hear of; a
// write that says nothing makes it rebuild.
struct ReadEntry {
    Value** name;
    PropertyReader read;
    Touches touches = Touches::nothing;
};

struct WriteEntry {
    Value** name;
    PropertyWriter write;
    Touches touches = Touches::graph;
};

// The host's own names for the window size, which the vocabulary leaves to it.
Value* widthName = Name::intern(_M("width"));
Value* heightName = Name::intern(_M("height"));

// Reads. Template rows give the field and, for node attributes, the answer
// without an active node; socket attributes answer false without a socket.
const ReadEntry readTable[] = {
    // commands
    {&n_addNode, readAddNode},
    {&n_addInSocket, readAddInSocket, node},
    {&n_addOutSocket, readAddOutSocket, node},
    {&n_deleteActiveSocket, readDeleteActiveSocket, all},
    {&n_deleteActiveNode, readDeleteActiveNode, all},
    {&n_deleteNodeActive, readDeleteActiveNode, all},
    {&n_redrawView, readRedrawView},
    {&n_redrawNode, readRedrawNode},
    {&n_dragDropShaderNode, readDragDropShaderNode},
    // counts and indices
    {&n_getNodeCount, readGetNodeCount},
    {&n_activeNode, readActiveNode},
    {&n_activeSocket, readActiveSocket},
    {&n_selectedNodeIndex, readSelectedNodeIndex},
    {&n_getSelectionCount, readGetSelectionCount},
    {&n_getSocketCount, readGetSocketCount},
    {&n_getActiveSocketType, readGetActiveSocketType},
    {&n_getActiveSocketConnectingNodeIndices, readConnectingNodeIndices},
    {&n_getActiveSocketConnectingSocketIndices, readConnectingSocketIndices},
    {&n_getSelectedConnectionIndex, readSelectedConnectionIndex},
    {&n_getSelectedConnectionNodeAndSocket, readSelectedConnectionNodeAndSocket},
    {&n_getChildCount, readGetChildCount},
    {&n_parentNode, readParentNode},
    {&n_getDeletedNodeCount, readGetDeletedNodeCount},
    {&n_drawLastIndex, readDrawLastIndex},
    // the active node
    {&n_nodeName, readField<&Node::nodeName>},
    {&n_nodeInfo, readField<&Node::nodeInfo>},
    {&n_bitmapPath, readField<&Node::bitmapPath>},
    {&n_nodeBitmap, readBitmapAsOk},
    {&n_sceneNode, readSceneNode},
    {&n_activeNodePos, readField<&Node::position>},
    {&n_activeNodeCollapsed, readField<&Node::collapsed, A::no>},
    {&n_nodeColor, readField<&Node::nodeColor>},
    {&n_nodeSize, readNodeSize},
    {&n_nodeCollapsedSize, readField<&Node::collapsedSize>},
    {&n_bitmapSize, readField<&Node::bitmapSize>},
    {&n_edgeSize, readField<&Node::edgeSize>},
    {&n_nodeNameOffset, readField<&Node::nameOffset>},
    {&n_textAlign, readTextAlign},
    {&n_isHidden, readField<&Node::hidden, A::no>},
    {&n_drawConnectionsFromParent, readField<&Node::drawConnectionsFromParent, A::no>},
    {&n_viewAlignOffset, readField<&Node::viewAlignOffset>},
    {&n_viewAlign, readViewAlign},
    {&n_drawLayer, readDrawLayer},
    {&n_posLocked, readField<&Node::posLocked, A::undefined>},
    {&n_selectable, readField<&Node::selectable, A::undefined>},
    {&n_isselected, readField<&Node::selected, A::undefined>},
    {&n_showBitmapOnly, readField<&Node::showBitmapOnly, A::undefined>},
    {&n_isCollapsible, readField<&Node::isCollapsible, A::undefined>},
    {&n_showMiniBitmap, readField<&Node::showMiniBitmap, A::undefined>},
    // the active socket
    {&n_socketName, readSocketName},
    {&n_socketInfo, readField<&Socket::socketInfo>},
    {&n_socketDataClass, readField<&Socket::socketDataClass>},
    {&n_socketPosition, readField<&Socket::socketPosition>},
    {&n_socketLabelOffset, readField<&Socket::labelOffset>},
    {&n_connectionColor, readField<&Socket::socketColor>},
    {&n_activeSocketFlipped, readField<&Socket::flipped>},
    {&n_activeSocketValue, readActiveSocketValue},
    {&n_activeSocketShowValue, readField<&Socket::showValue>},
    {&n_socketIsHidden, readField<&Socket::socketIsHidden>},
    {&n_drawSeperator, readField<&Socket::drawSeperator>},
    {&n_sceneController, readSceneController},
    // the view and the control
    {&widthName, readWidth},
    {&heightName, readHeight},
    {&n_zoom, readZoom},
    {&n_pan, readPan},
    {&n_allowUIDelete, readViewFlag<&View::allowUIDelete>},
    {&n_allowZoom, readViewFlag<&View::allowZoom>},
    {&n_allowPan, readViewFlag<&View::allowPan>},
    {&n_allowRegionSelect, readViewFlag<&View::allowRegionSelect>},
    {&n_zoomAboutMouse, readViewFlag<&View::zoomAboutMouse>},
    {&n_tileBackground, readViewFlag<&View::tileBackground>},
    {&n_showInfo, readViewFlag<&View::showInfo>},
    {&n_drawWeights, readViewFlag<&View::drawWeights>},
    {&n_drawShadows, readViewFlag<&View::drawShadows>},
    {&n_drawMenuBars, readViewFlag<&View::drawMenuBars>},
    {&n_useDrawLayers, readViewFlag<&View::useDrawLayers>},
    {&n_nodeTransparency, readNodeTransparency},
    {&n_setInfo, readSetInfo},
    {&n_backgroundBitmap, readBitmapAsOk},
    {&n_backgroundPath, readBackgroundPath},
    {&n_storageContainer, readStorageContainer},
};

// Writes. Template rows give the field and the answer when done; without an
// active node or socket they answer false unless a third answer is given.
const WriteEntry writeTable[] = {
    // the control window
    {&widthName, writeWidth, none},
    {&heightName, writeHeight, none},
    // addressing and selection
    {&n_activeNode, writeActiveNode, none},
    {&n_activeSocket, writeActiveSocket, none},
    {&n_selectedNodeIndex, writeSelectedNodeIndex, none},
    // the active node
    {&n_nodeName, writeField<&Node::nodeName, A::yes>, node},
    {&n_nodeInfo, writeField<&Node::nodeInfo, A::yes>, node},
    {&n_bitmapPath, writeField<&Node::bitmapPath, A::ok>, node},
    {&n_nodeBitmap, writeNodeBitmap, node},
    {&n_setRenderBall, writeSetRenderBall, node},
    {&n_sceneNode, writeSceneNode, node},
    {&n_activeNodePos, writeField<&Node::position, A::yes>, node},
    {&n_activeNodePosRelative, writeActiveNodePosRelative, node},
    {&n_activeNodeCollapsed, writeField<&Node::collapsed, A::ok, A::ok>, node},
    {&n_nodeColor, writeField<&Node::nodeColor, A::ok, A::ok>, node},
    {&n_nodeSize, writeNodeSize, node},
    {&n_nodeCollapsedSize, writeField<&Node::collapsedSize, A::yes>, node},
    {&n_bitmapSize, writeField<&Node::bitmapSize, A::yes>, node},
    {&n_edgeSize, writeField<&Node::edgeSize, A::yes>, node},
    {&n_nodeNameOffset, writeField<&Node::nameOffset, A::yes>, node},
    {&n_textAlign, writeTextAlign, node},
    {&n_isHidden, writeField<&Node::hidden, A::ok>, node},
    {&n_nodeIsHidden, writeField<&Node::hidden, A::ok>, node},
    {&n_posLocked, writeField<&Node::posLocked, A::yes>, node},
    {&n_selectable, writeField<&Node::selectable, A::yes>, node},
    {&n_isselected, writeField<&Node::selected, A::yes>, node},
    {&n_showBitmapOnly, writeField<&Node::showBitmapOnly, A::yes>, node},
    {&n_isCollapsible, writeField<&Node::isCollapsible, A::yes>, node},
    {&n_showMiniBitmap, writeField<&Node::showMiniBitmap, A::ok>, node},
    {&n_drawConnectionsFromParent, writeField<&Node::drawConnectionsFromParent, A::ok>, node},
    {&n_parentNode, writeParentNode, all},
    {&n_viewAlign, writeViewAlign, node},
    {&n_viewAlignOffset, writeField<&Node::viewAlignOffset, A::ok>, node},
    {&n_drawLayer, writeDrawLayer, node},
    // the active socket
    {&n_socketName, writeField<&Socket::socketName, A::yes>, node},
    {&n_socketInfo, writeField<&Socket::socketInfo, A::yes>, node},
    {&n_socketDataClass, writeField<&Socket::socketDataClass, A::yes>, node},
    {&n_socketPosition, writeField<&Socket::socketPosition, A::ok>, node},
    {&n_socketLabelOffset, writeField<&Socket::labelOffset, A::yes>, node},
    {&n_connectionColor, writeField<&Socket::socketColor, A::yes>, node},
    {&n_activeSocketFlipped, writeActiveSocketFlipped, node},
    {&n_activeSocketValue, writeActiveSocketValue, node},
    {&n_activeSocketShowValue, writeField<&Socket::showValue, A::ok, A::ok>, node},
    {&n_socketIsHidden, writeField<&Socket::socketIsHidden, A::yes>, node},
    {&n_drawSeperator, writeField<&Socket::drawSeperator, A::yes>, node},
    {&n_sceneController, writeSceneController, node},
    // links
    {&n_toggleConnection, writeToggleConnection, node},
    {&n_setConnectionWeight, writeSetConnectionWeight, node},
    // queries answered through the assignment
    {&n_findNodeByPos, writeFindNodeByPos, none},
    {&n_childIndex, writeChildIndex, none},
    {&n_getConnectionWeight, writeGetConnectionWeight, none},
    {&n_getDeletedNodeIndex, writeGetDeletedNodeIndex, none},
    {&n_generateHLSL, writeGenerateHLSL, none},
    // the view and the control
    {&n_zoom, writeZoom, none},
    {&n_pan, writePan, none},
    {&n_allowUIDelete, writeViewFlag<&View::allowUIDelete>, none},
    {&n_allowZoom, writeViewFlag<&View::allowZoom>, none},
    {&n_allowPan, writeViewFlag<&View::allowPan>, none},
    {&n_allowRegionSelect, writeViewFlag<&View::allowRegionSelect>, none},
    {&n_zoomAboutMouse, writeViewFlag<&View::zoomAboutMouse>, none},
    {&n_tileBackground, writeViewFlag<&View::tileBackground>, none},
    {&n_showInfo, writeViewFlag<&View::showInfo>, none},
    {&n_drawWeights, writeViewFlag<&View::drawWeights>, all},
    {&n_drawShadows, writeViewFlag<&View::drawShadows>, none},
    {&n_drawMenuBars, writeViewFlag<&View::drawMenuBars>, none},
    {&n_useDrawLayers, writeViewFlag<&View::useDrawLayers>, none},
    {&n_drawLastIndex, writeDrawLastIndex, none},
    {&n_nodeTransparency, writeNodeTransparency, none},
    {&n_setInfo, writeSetInfo, none},
    {&n_backgroundBitmap, writeBackgroundBitmap, none},
    {&n_backgroundPath, writeBackgroundPath, none},
    {&n_storageContainer, writeStorageContainer, all},
    {&n_dosCommandHidden, writeDosCommandHidden, none},
};

template <class Entry, size_t N>
const Entry* find(const Entry (&table)[N], Value* name) {
    if (!name) return nullptr;
    for (const Entry& entry : table)
        if (*entry.name == name) return &entry;
    return nullptr;
}

// Told when the entry is done, raised or not: a writer that raises halfway may
// have changed something.
struct Telling {
    PropertyTarget& c;
    Touches touches;
    ~Telling() {
        if (touches == Touches::activeNode) nodeChanged(c.graph, c.viewState->activeNode);
        else if (touches == Touches::graph) graphChanged(c.graph);
    }
};

}  // namespace

Value* readProperty(PropertyTarget& c, Value* name) {
    const ReadEntry* entry = find(readTable, name);
    if (!entry) return nullptr;
    Telling tell{c, entry->touches};
    return entry->read(c);
}

Value* writeProperty(PropertyTarget& c, Value* name, Value* value) {
    const WriteEntry* entry = value ? find(writeTable, name) : nullptr;
    if (!entry) return nullptr;
    Telling tell{c, entry->touches};
    return entry->write(c, value);
}

Value* propertyNames(Value* hostNames) {
    auto* names = new Array(int(std::size(readTable) + std::size(writeTable)));
    auto add = [names](Value* name) {
        for (int i = 0; i < names->size; ++i)
            if (names->data[i] == name) return;
        names->append(name);
    };
    for (const ReadEntry& entry : readTable) add(*entry.name);
    for (const WriteEntry& entry : writeTable) add(*entry.name);
    if (hostNames && is_array(hostNames)) {
        auto* more = static_cast<Array*>(hostNames);
        for (int i = 0; i < more->size; ++i) add(more->data[i]);
    }
    return names;
}
