// property_target.h - the control as its property readers and writers see it.
#pragma once
#include <windows.h>

#include <string>

#include "controller/scene_watch.h"
#include "graph/schematic.h"
#include "host/core/value.h"
#include "render/paint_target.h"

class vantrelController;

// The control's own state below the rollout control: the graph in use (the
// Schematic base), its window, background, back buffer and bound container, and
// the scene objects its graph points at. What only the rollout control knows (its
// page, its control id, the host's own properties) comes through the virtuals.
class PropertyTarget : public Schematic, public SceneWatch::Listener {
public:
    HWND window = nullptr;                          // child window; stale after the rollout closes
    vantrelController* storageContainer = nullptr;  // bound container, not owned
    Background background;                          // flat colour or bitmap behind the graph
    Value* backgroundBitmapValue = nullptr;         // last value given; not owned
    std::string backgroundPath;
    RECT clientRect{};                              // scratch copy of the client area
    BackBuffer backBuffer;                          // off-screen target of every paint
    SceneWatch sceneWatch{*this};                   // the bound container and the scene objects the graph points at

    // The parent rollout's page while it is open; null while it is closed.
    virtual HWND openRolloutPage() const = 0;
    // The control's identifier among the page's child windows.
    virtual int windowId() const = 0;
    // The host's own handling of a property (the common ones: width, height, pos, ...).
    virtual Value* setHostProperty(Value** arg_list, int count) = 0;

    // Re-reads the client rectangle into the view and makes a new back buffer for it.
    void rebuildBackBuffer();
    // This control's paint: its graph, its view, its buffer and background.
    PaintTarget paintTarget() { return {graph, *viewState, backBuffer, background}; }

protected:
    PropertyTarget() = default;
    ~PropertyTarget() = default;
};
