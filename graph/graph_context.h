// graph_context.h - the control-level state that graph operations read and write.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

struct SchematicNode;
struct SchematicSocket;
struct SchematicViewState;
class SpatialIndex;
using SchematicGraph = std::vector<SchematicNode*>;

// Integer rectangle in client pixels (left, top, right, bottom).
struct RectI {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Events the graph raises itself; the platform maps them to interned names.
enum class GraphEvent { connectionChanged, preNodesDeleted, nodesDeleted };

// The platform seam: graph/ never sees a window, a GDI object or a script value.
class GraphSeam {
public:
    virtual ~GraphSeam() = default;
    // Invalidate without erasing; rect == nullptr means the whole view.
    virtual void redraw(const RectI* rect) = 0;
    // Release a device bitmap owned by a node.
    virtual void releaseBitmap(void* bitmapHandle) = 0;
    virtual void raiseEvent(GraphEvent event, const int32_t* args, int count) = 0;
};

// One control's view of its graph. The control embeds it; a storage container
// may lend its table, in which case tableBorrowed is set and nodes are not ours.
struct GraphContext {
    SchematicGraph* nodeTable = nullptr;          // the table in use
    SchematicViewState* viewState = nullptr;      // owned by the control
    SchematicSocket* dragSocket = nullptr;        // socket of the running gesture
    int32_t dragSocketOwner = -1;                 // where dragSocket was last found: a guess, checked
    SchematicSocket* selectedConnection = nullptr;// output whose selectedLink is selected
    SchematicNode* pressedNode = nullptr;         // body hit of the running press; cleared when freed
    std::vector<int32_t> deletedNodeIndices;      // filled by deleteSelection
    bool tableBorrowed = false;                   // a storage container owns the table
    GraphSeam* seam = nullptr;                    // may be null (no platform, e.g. tests)
    // Bumped whenever the graph may have changed behind the spatial index's back
    // (script access, event handlers, gestures); the index rebuilds on a change.
    uint64_t generation = 0;
    // Candidates for presses and culling; without one every scan visits everything.
    std::shared_ptr<SpatialIndex> spatialIndex;
};
