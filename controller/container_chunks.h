// container_chunks.h - the container's graph as scene-file chunks: identifiers, writer, reader.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "graph/records.h"
#include "host/scene/scene_io.h"

class ReferenceTarget;

// Where the host puts the scene object a node or socket of a loaded file names:
// kept aside until the load is done, so no field ever holds an object of another kind.
struct SceneRefPatch {
    ReferenceTarget* object = nullptr;
    SchematicNode* node = nullptr;      // its sceneNode gets the object, or
    SchematicSocket* socket = nullptr;  // its sceneController does
};

namespace container_chunk {
inline constexpr USHORT viewHeader = 0x0020;      // sub-chunks viewZoom .. viewBackground
inline constexpr USHORT viewZoom = 0x0021;        // int32 format version (1), float zoom
inline constexpr USHORT viewPan = 0x0022;         // float x, y
inline constexpr USHORT viewNodeCount = 0x0023;   // int32
inline constexpr USHORT viewBackground = 0x0024;  // string
inline constexpr USHORT firstNode = 0x0300;       // node c is firstNode + c, up to 0xFFFF

inline constexpr USHORT nodeName = 0x0001;
inline constexpr USHORT nodeInfo = 0x0002;
inline constexpr USHORT nodeSize = 0x0003;        // width, height, #in, #out, scene node ref, collapsed w, h
inline constexpr USHORT nodeEdgeSize = 0x0004;
inline constexpr USHORT nodeFlags = 0x0005;       // selected .. isCollapsible, 7 bytes
inline constexpr USHORT nodePosition = 0x0006;    // position x, y, nameOffset x, y
inline constexpr USHORT nodeColor = 0x0007;
inline constexpr USHORT nodeBitmapPath = 0x0008;
inline constexpr USHORT nodeParent = 0x0009;      // int32 table index, -1 none
inline constexpr USHORT nodeDrawFromParent = 0x000A;
inline constexpr USHORT nodeTextAlign = 0x000B;
inline constexpr USHORT nodeBitmapSize = 0x000C;
inline constexpr USHORT firstSocket = 0x0099;     // socket j is firstSocket + j, up to 0xFFFF
inline constexpr USHORT lastPlainSocket = 0x0199; // beyond it only a continued run of sockets

inline constexpr USHORT socketLinks = 0x0019;     // outputs: n, then n × (node index, socket index)
inline constexpr USHORT socketWeights = 0x0025;   // outputs: n, then n × weight
inline constexpr USHORT socketName = 0x0030;
inline constexpr USHORT socketController = 0x0032;// controller ref, index, direction
inline constexpr USHORT socketRadiusValue = 0x0033;
inline constexpr USHORT socketFlags = 0x0034;     // flipped, showValue
inline constexpr USHORT socketPlacement = 0x0035; // socketPosition x, y, labelOffset x, y
inline constexpr USHORT socketColor = 0x0037;
inline constexpr USHORT socketDataClass = 0x0038;
inline constexpr USHORT socketInfo = 0x0039;
inline constexpr USHORT socketHidden = 0x0040;
inline constexpr USHORT socketSeparator = 0x0041;
}  // namespace container_chunk

// What the identifiers can number; a larger graph cannot be stored.
inline constexpr int32_t kMaxStoredNodes = 0xFFFF - container_chunk::firstNode + 1;
inline constexpr int32_t kMaxStoredSockets = 0xFFFF - container_chunk::firstSocket + 1;

// Writes the view header and every node of table. Raises RuntimeError, before
// writing anything, when the graph has more nodes or sockets than can be stored.
IOResult saveContainerChunks(ISave& isave, const SchematicGraph& table, const SchematicViewState& view,
                             const std::string& backgroundPath);

// Reads zoom, pan, background path and stored node count into view and the
// strings, appends the file's nodes to table (each reading nodeView), then
// restores parents and links among them. On damage returns IO_ERROR at once:
// nodes read so far stay in table, no parent or link is restored.
IOResult loadContainerChunks(ILoad& iload, SchematicGraph& table, SchematicViewState& view,
                             std::string& backgroundPath, int32_t& storedNodeCount,
                             SchematicViewState* nodeView, std::deque<SceneRefPatch>& sceneRefs);
