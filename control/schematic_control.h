// schematic_control.h - the SchematicControl rollout control and its metaclass.
#pragma once
#include <windows.h>

#include "control/control_seam.h"
#include "host/win32/rollout.h"
#include "interaction/win32/window_client.h"
#include "script/property_target.h"
#include "script/vantrel_api.h"

// The script-visible class of the control; one instance, SchematicControl_class.
class SchematicControlClass : public ValueMetaClass {
public:
    SchematicControlClass();
    void gc_trace() override;
};

extern "C" VANTREL_API SchematicControlClass SchematicControl_class;

#define SCHEMATIC_WINDOWCLASS _M("SCHEMATIC_WINDOWCLASS")

// The rollout control: the host's RolloutControl, the state its properties work on
// (PropertyTarget: the graph in use, window, background, back buffer, container), and
// the client its window procedure talks to.
class SchematicControl : public RolloutControl, public PropertyTarget, public WindowClient {
public:
    ControlSeam seam;                                 // how graph operations reach this window

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

    // What the property tables need of the rollout control.
    HWND openRolloutPage() const override;
    int windowId() const override;
    Value* setHostProperty(Value** arg_list, int count) override;

    // What the window procedure needs of its client.
    HWND clientWindow() const override { return window; }
    void windowDestroyed() override { window = nullptr; }
    GraphContext& clientGraph() override { return graph; }
    void paint(HDC dc, const RECT* update) override;
    void resized() override { rebuildBackBuffer(); }
    void raise(UiEvent event, const int32_t* args, int count) override;

    // True while the parent rollout's page exists.
    bool rolloutIsOpen() const;
    // Raises a script event with integer arguments through the host.
    void raiseEvent(Value* event, const int* args, int count);
};

// The maker handed to the host with the control keyword.
RolloutControl* makeSchematicControl(Value* name, Value* caption, Value** keyparms, int keyparm_count);
