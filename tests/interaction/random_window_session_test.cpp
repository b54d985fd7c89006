// random_window_session_test.cpp - a long random session on a real window: messages,
// property writes of every kind (wrong ones included) and paints, with handlers that
// rewrite the graph. The control must survive it and every paint must free its GDI objects.
#include <random>

#include "host/core/errors.h"
#include "tests/interaction/interaction_fixture.h"

namespace {

const char* const kWritableNames[] = {
    "zoom", "pan", "activeNode", "activeSocket", "nodeName", "activeNodePos", "activeNodeCollapsed",
    "nodeColor", "nodeSize", "isHidden", "posLocked", "selectable", "isselected", "nodeCollapsedSize",
    "edgeSize", "showBitmapOnly", "parentNode", "drawConnectionsFromParent", "textAlign", "bitmapSize",
    "viewAlign", "viewAlignOffset", "showMiniBitmap", "drawLayer", "socketName", "toggleConnection",
    "activeSocketFlipped", "activeSocketValue", "socketPosition", "connectionColor", "socketIsHidden",
    "drawSeperator", "setConnectionWeight", "drawShadows", "drawLastIndex", "drawWeights",
    "nodeTransparency", "useDrawLayers", "tileBackground", "showInfo", "setInfo", "allowPan",
    "allowZoom", "selectedNodeIndex", "findNodeByPos", "childIndex", "width", "height"};

const char* const kReadNames[] = {"addNode", "addInSocket", "addOutSocket", "deleteActiveSocket",
                                  "deleteActiveNode", "redrawView", "redrawNode", "getNodeCount"};

using LiveCount = int (*)();

class RandomWindowSession : public InteractionTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};
    LiveCount liveGdiObjects = nullptr;

    void SetUp() override {
        InteractionTest::SetUp();
        liveGdiObjects = PluginSession::get().exported<int()>("vantrelLiveGdiObjects");
        ASSERT_NE(liveGdiObjects, nullptr);
    }

    int pick(int n) { return n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(rng) : 0; }
    bool chance(int percent) { return pick(100) < percent; }

    // Numbers a script might pass, sensible and otherwise.
    float someNumber() {
        const float extremes[] = {0.0f, -1.0f, 1e9f, -1e9f, 0.05f, 3.5f};
        return chance(15) ? extremes[pick(6)] : float(pick(300)) - 20.0f;
    }

    Value* someValue() {
        switch (pick(7)) {
            case 0: return Integer::intern(pick(12) - 2);
            case 1: return Float::intern(someNumber() / 100.0f);
            case 2: return new Point2Value(someNumber(), someNumber());
            case 3: return new ColorValue(float(pick(256)), float(pick(256)), float(pick(256)));
            case 4: return new String("text");
            case 5: return chance(50) ? static_cast<Value*>(&true_value) : &false_value;
            default: return &undefined;
        }
    }

    void scriptMeddles() {
        try {
            if (chance(30)) {
                Value* name = Name::intern(kReadNames[pick(std::size(kReadNames))]);
                sc->get_property(&name, 1);
            } else {
                Value* args[] = {someValue(), Name::intern(kWritableNames[pick(std::size(kWritableNames))])};
                // Keep the window within what a screen holds.
                if (args[1] == Name::intern("width") || args[1] == Name::intern("height"))
                    args[0] = Integer::intern(50 + pick(400));
                sc->set_property(args, 2);
            }
        } catch (MAXScriptException&) {
            // A value of the wrong kind: the host's error, nothing changed.
        }
    }

    void step() {
        const int x = pick(460) - 30, y = pick(360) - 30;
        HeldKeys keys{chance(15) ? VK_CONTROL : 0, chance(15) ? VK_MENU : 0, chance(10) ? VK_SHIFT : 0};
        switch (pick(11)) {
            case 0: case 1: press(x, y); break;
            case 2: case 3: case 4: move(x, y, chance(60) ? MK_LBUTTON : MK_MBUTTON); break;
            case 5: release(x, y); break;
            case 6: send(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y); break;
            case 7: send(chance(50) ? WM_MBUTTONDOWN : WM_MBUTTONUP, MK_MBUTTON, x, y); break;
            case 8: send(chance(50) ? WM_RBUTTONDOWN : WM_RBUTTONUP, MK_RBUTTON, x, y); break;
            case 9: wheel(x, y, chance(50) ? 120 : -120); break;
            case 10: key(chance(50) ? WM_KEYDOWN : WM_KEYUP, chance(70) ? VK_DELETE : 'A' + pick(26)); break;
        }
    }
};

TEST_P(RandomWindowSession, SurvivesAndEveryPaintFreesWhatItMade) {
    for (int i = 0; i < 8; ++i) {
        SchematicNode& n = nodeAt(float(pick(300)), float(pick(220)));
        input(n), output(n), output(n);
    }
    for (const char* name : {"nodeClicked", "connectionStarted", "connectionChanged", "mouseMoved",
                             "LButtonUp", "nodesDeleted", "regionSelected", "keyboardDown"})
        onEvent(name, [this](const std::vector<int>&) {
            if (chance(30)) scriptMeddles();
        });

    for (int i = 0; i < 600; ++i) {
        if (chance(40)) scriptMeddles();
        step();
        if (chance(30)) {
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            ASSERT_EQ(liveGdiObjects(), 0) << "a paint left GDI objects alive at step " << i;
        }
        ASSERT_TRUE(IsWindow(window));
        if (table().size() < 2) nodeAt(40, 40);
    }
    if (GetCapture() == window) ReleaseCapture();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWindowSession, ::testing::Range(1u, 5u));

}  // namespace
