// schematic_control.h - the SchematicControl rollout control and its metaclass.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include "control/control_seam.h"
#include "control/vantrel_api.h"
#include "graph/graph_context.h"
#include "graph/records.h"
#include "controller/scene_watch.h"
#include "host/win32/rollout.h"

class vantrelController;

// The script-visible class of the control; one instance, SchematicControl_class.
class SchematicControlClass : public ValueMetaClass {
public:
    SchematicControlClass();
    void gc_trace() override;
};

extern "C" VANTREL_API SchematicControlClass SchematicControl_class;

#define SCHEMATIC_WINDOWCLASS _M("SCHEMATIC_WINDOWCLASS")

class SchematicControl : public RolloutControl, public SceneWatch::Listener {
public:
    HWND window = nullptr;                            // child window; stale after the rollout closes
    vantrelController* storageContainer = nullptr;    // bound container, not owned
    std::unique_ptr<SchematicGraph> ownTable;         // our table while no container lends one
    std::unique_ptr<SchematicViewState> viewState;    // view, switches and gesture scratch
    GraphContext graph;                               // table in use, drag/selection, deleted indices
    COLORREF backgroundColor = 0;                     // fill without a background bitmap
    HBRUSH backgroundBrush = nullptr;                 // owned, lives across paints
    RECT clientRect{};                                // scratch copy of the client area
    HBITMAP backgroundBitmapHandle = nullptr;         // owned device bitmap of backgroundBitmap
    Value* backgroundBitmapValue = nullptr;           // last value given; not owned
    std::string backgroundPath;
    HDC backBufferDC = nullptr;                       // off-screen target of every paint
    HBITMAP backBufferBitmap = nullptr;               // client-sized, selected into backBufferDC
    ControlSeam seam;                                 // how graph operations reach this window
    SceneWatch sceneWatch{*this};                     // the bound container and the scene objects the graph points at

    SchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count);
    ~SchematicControl() override;

    // Host-facing slots.
    BOOL is_kind_of(ValueMetaClass* c) override;
    void sprin1(CharStream* s) override;
    Value* classOf_vf(Value** arg_list, int count) override;
    Value* superClassOf_vf(Value** arg_list, int count) override;
    Value* isKindOf_vf(Value** arg_list, int count) override;
    void add_control(Rollout* ro, HWND parent, HINSTANCE hInstance, int& current_y) override;
    LPCMSTR get_control_class() override { return SCHEMATIC_WINDOWCLASS; }
    DWORD get_control_style() override { return WS_TABSTOP; }
    DWORD get_control_ex_style() override { return 0; }
    void init_control(HWND) override {}
    void compute_layout(Rollout*, layout_data*) override {}
    BOOL handle_message(Rollout*, UINT, WPARAM, LPARAM) override { return FALSE; }
    void set_enable() override;
    // Script properties; names the control does not answer go to RolloutControl.
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
    // getPropNames: every name the control reads or writes, then the host's common ones.
    Value* get_props_vf(Value** arg_list, int count) override;
    // Marks the bitmap values the control and its nodes still point at.
    void gc_trace() override;
    // A bound container or a tied scene object is being deleted.
    void sceneObjectDeleted(ReferenceTarget* target) override;

    // Re-reads the client rectangle into viewState and makes a new back buffer.
    void rebuildBackBuffer();
    // True while the parent rollout's page exists.
    bool rolloutIsOpen() const;
    // Raises a script event with integer arguments through the host.
    void raiseEvent(Value* event, const int* args, int count);

private:
    void releaseBackBuffer();
};

// The maker handed to the host with the control keyword.
RolloutControl* makeSchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count);
