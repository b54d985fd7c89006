// records.h - node, socket and view-state records, fields in record order.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/drawing_sizes.h"
#include "graph/graph_context.h"

// Host objects the records point at; graph/ never looks inside them.
class Value;
class INode;
class Control;

// Win32 COLORREF layout (0x00BBGGRR), kept here so graph/ needs no <windows.h>.
constexpr uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

struct Vec2 {
    float x = 0.0f, y = 0.0f;
};

struct Vec2I {
    int32_t x = 0, y = 0;
};

inline constexpr const char* kDefaultInfoText =
    "Vantrel Schematic - (use setInfo to change this text)";

struct SchematicSocket {
    int32_t index = -1;                      // per-node number over inputs and outputs
    int32_t direction = 0;                   // 0 input, 1 output
    uint8_t flipped = 0;                     // sits on the other side of its node
    float radius = kDefaultSocketSide;       // side of the socket box, graph units
    SchematicNode* ownerNode = nullptr;      // node that holds the socket
    std::vector<SchematicSocket*> links;     // peers, one per link; not owned
    Vec2 socketPosition;                     // box offset from the node's top-left
    uint32_t socketColor = rgb(255, 30, 30); // fill and curve colour; outputs get green
    uint32_t hiddenLinkColor = rgb(80, 80, 80); // fill when linked into a hidden node
    std::string socketName;                  // label
    float value = 0.0f;                      // user-dragged number
    uint8_t showValue = 1;                   // value drawn beside the label
    Control* sceneController = nullptr;      // tied controller; not owned
    Vec2 labelOffset;                        // label offset
    std::string socketDataClass;             // script-defined data class name
    int32_t selectedLink = -1;               // position in links of the selected link
    std::string socketInfo;                  // free text for scripts
    std::vector<int32_t> linkWeights;        // outputs: one weight per links entry
    uint8_t socketIsHidden = 0;              // not drawn
    uint8_t drawSeperator = 0;               // separator line drawn at the socket
};

struct SchematicNode {
    SchematicViewState* viewStateRef = nullptr; // view of the control showing the node
    std::vector<SchematicSocket*> inputs;    // owned, creation order
    std::vector<SchematicSocket*> outputs;   // owned, creation order
    Vec2 position;                           // top-left, graph units; parent-relative
    std::string nodeName;                    // title
    uint32_t nodeColor = rgb(224, 198, 87);  // body colour
    uint32_t borderColor = rgb(0, 0, 0);     // outline pen colour
    float edgeSize = 10.0f;                  // corner/edge size
    int32_t borderWidth = 1;                 // outline pen width
    int32_t width = 100;                     // expanded size, graph units
    int32_t height = 24;                     // grows by 16 per socket
    uint8_t selected = 0;
    uint8_t collapsed = 0;
    void* bitmapHandle = nullptr;            // owned device bitmap, released via the seam
    Value* bitmapValue = nullptr;            // script bitmap it was made from; not owned
    uint8_t hidden = 0;                      // not drawn, not hit
    std::string bitmapPath;
    INode* sceneNode = nullptr;              // tied scene object; not owned
    std::string nodeInfo;                    // free text for scripts
    uint8_t posLocked = 0;                   // not draggable
    Vec2 nameOffset;                         // title offset
    uint8_t selectable = 1;                  // can be hit and region-selected
    Vec2I collapsedSize{100, 24};            // size when collapsed
    uint8_t showBitmapOnly = 0;
    uint8_t isCollapsible = 1;               // double-click may toggle collapsed
    SchematicNode* parent = nullptr;         // not owned
    std::vector<SchematicNode*> children;    // mirror of parent, parenting order
    uint8_t drawConnectionsFromParent = 0;   // links drawn from the visible ancestor
    int32_t textAlign = 1;                   // 0 left, 1 centre, 2 right
    Vec2 bitmapSize{80.0f, 80.0f};           // bitmap area, graph units
    uint32_t textColor = rgb(0, 0, 0);       // chosen at each draw
    int32_t viewAlign = 0;                   // -1 pinned top-left, 1 top-right
    Vec2 viewAlignOffset;                    // from the pinned corner, screen pixels
    uint8_t showMiniBitmap = 1;              // collapsed nodes keep a bitmap strip
    int32_t drawLayer = 1;                   // 0..2
};

// Positions in SchematicViewState::gestureFlags.
inline constexpr int kLinksMoved = 0;    // a node drag moved a node that has links
inline constexpr int kRegionActive = 1;  // the region rectangle is being dragged
inline constexpr int kRegionArmed = 2;   // a left press on empty space may start a region

struct SchematicViewState {
    uint8_t leftButtonDown = 0;
    uint8_t panning = 0;                     // a pan drag is running
    Vec2 panAnchor;                          // mouse position where the pan began
    Vec2 pressPoint;                         // left press, then each node-drag step
    Vec2 pan;                                // view offset, screen pixels
    Vec2 panAtPress;                         // pan when the pan drag began
    float zoom = 1.0f;                       // view scale
    float zoomStep = 0.1f;                   // zoom change per wheel notch
    uint8_t connecting = 0;                  // a connection drag is running
    Vec2 dragScratch;                        // rubber-band end as last painted
    Vec2 dragPoint;                          // mouse during connection/region drags
    std::array<uint8_t, 3> gestureFlags{};   // links-moved, region-active, region-armed
    std::array<float, 4> regionRect{};       // rubber band: start x, y, end x, y
    int32_t activeNode = -1;                 // node addressed by script
    int32_t activeSocket = -1;               // socket index within the active node
    uint8_t allowUIDelete = 1;               // the Delete key deletes
    Vec2 socketPressPoint;                   // middle press on an output, then each step
    uint8_t allowZoom = 1;
    uint8_t allowPan = 1;
    uint8_t tileBackground = 0;
    uint8_t showInfo = 1;
    uint8_t drawWeights = 0;
    uint8_t allowRegionSelect = 1;
    uint8_t drawShadows = 0;
    int32_t drawLastIndex = -1;              // node drawn after all others
    uint8_t drawMenuBars = 0;
    uint8_t zoomAboutMouse = 1;
    float nodeTransparency = -1.0f;          // >= 0 draws bodies translucent
    std::string infoText = kDefaultInfoText;
    RectI viewRect;                          // client rectangle of the window
    uint8_t useDrawLayers = 0;
};
