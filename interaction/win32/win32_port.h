// win32_port.h - the gestures' window port for a control's child window.
#pragma once
#include "interaction/window_port.h"

class WindowClient;

class Win32WindowPort final : public WindowPort {
public:
    explicit Win32WindowPort(WindowClient& client) : client(client) {}
    void raise(UiEvent event, const int32_t* args, int count) override;
    void takeFocus() override;
    void capturePointer() override;
    void releasePointer() override;
    void showAboutBox() override;
    bool nudgeSceneController(Control& controller, float step) override;

private:
    WindowClient& client;
};
