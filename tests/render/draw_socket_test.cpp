// draw_socket_test.cpp - socket boxes, the hidden-link colour, separators and labels.
#include "host/scene/controllers.h"
#include "tests/render/paint_fixture.h"

class DrawSocket : public PaintTest {};

TEST_F(DrawSocket, InputIsASquareAndOutputACircle) {
    SchematicNode& node = addNodeAt(50, 40);
    addInput(node);   // box (54.5, 64), 9 pixels
    addOutput(node);  // box (136.5, 80)
    paint();
    EXPECT_EQ(pixel(58, 68), kInputColor);
    EXPECT_EQ(pixel(54, 64), RGB(0, 0, 0)) << "square corner";
    EXPECT_EQ(pixel(140, 84), kOutputColor);
    EXPECT_EQ(pixel(136, 80), kNodeColor) << "a circle leaves its corners";
}

TEST_F(DrawSocket, SocketsAreLeftOutWhenHiddenCollapsedOrZoomedOut) {
    SchematicNode& node = addNodeAt(50, 40);
    SchematicSocket& in = addInput(node);
    const RECT all{0, 0, kViewWidth, kViewHeight};

    view().zoom = 0.4f;  // a float a little above 0.4: still drawn
    node.position = {125, 100};
    paint();
    EXPECT_GT(count(all, kInputColor), 0);
    view().zoom = 0.39f;
    paint();
    EXPECT_EQ(count(all, kInputColor), 0);

    view().zoom = 1.0f;
    node.position = {50, 40};
    in.socketIsHidden = 1;
    paint();
    EXPECT_EQ(count(all, kInputColor), 0);
    in.socketIsHidden = 0;
    node.collapsed = 1;
    paint();
    EXPECT_EQ(count(all, kInputColor), 0);
}

TEST_F(DrawSocket, InputLinkedIntoAHiddenNodeTakesTheHiddenLinkColour) {
    SchematicNode& node = addNodeAt(50, 40);
    SchematicSocket& in = addInput(node);
    SchematicNode& source = addNodeAt(200, 120);
    connectSockets(addOutput(source), in);
    source.hidden = 1;
    paint();
    EXPECT_EQ(pixel(58, 68), RGB(80, 80, 80));

    in.hiddenLinkColor = RGB(10, 20, 30);
    paint();
    EXPECT_EQ(pixel(58, 68), RGB(10, 20, 30));

    source.hidden = 0;
    paint();
    EXPECT_EQ(pixel(58, 68), kInputColor);
}

TEST_F(DrawSocket, SeparatorRunsAcrossTheNodeAtTheTopOfTheLabel) {
    SchematicNode& node = addNodeAt(50, 40);
    addInput(node);
    addInput(node).drawSeperator = 1;  // box top 80; label top 80 - 4.5 + 9 - 8 = 76.5
    paint();
    EXPECT_EQ(pixel(52, 76), RGB(0, 0, 0));
    EXPECT_EQ(pixel(100, 76), RGB(0, 0, 0));
    EXPECT_EQ(pixel(148, 76), RGB(0, 0, 0));
    EXPECT_EQ(pixel(100, 75), kNodeColor);
    EXPECT_EQ(pixel(100, 77), kNodeColor);
}

// The label of an output socket: right-aligned, ending at the box, on the node colour.
class OutputLabel : public DrawSocket {
protected:
    void SetUp() override {
        DrawSocket::SetUp();
        node = &addNodeAt(50, 40);
        out = &addOutput(*node, "Output");  // box (136.5, 64)
    }

    // True when the label area shows exactly `text` drawn as captions are drawn.
    ::testing::AssertionResult labelReads(const char* text) {
        ReferenceImage expected(sc().backBuffer.dc.get(), kNodeColor);
        HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                 CLEARTYPE_QUALITY, FF_SWISS, "");
        HGDIOBJ previous = SelectObject(expected.dc(), font);
        SetBkMode(expected.dc(), TRANSPARENT);
        SetTextColor(expected.dc(), RGB(0, 0, 0));
        RECT box{54, 60, 136, 75};  // left = 136.5 + 18 - 100, top = 64 - 4.5 + 1
        DrawTextA(expected.dc(), text, -1, &box, DT_RIGHT);
        SelectObject(expected.dc(), previous);
        DeleteObject(font);
        int differing = 0;
        for (int y = 60; y < 75; ++y)
            for (int x = 52; x < 136; ++x) differing += pixel(x, y) != expected.pixel(x, y);
        if (differing == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << differing << " pixels differ from \"" << text << "\"";
    }

    SchematicNode* node = nullptr;
    SchematicSocket* out = nullptr;
};

TEST_F(OutputLabel, ShowsTheValueInParentheses) {
    out->value = 0.5f;
    paint();
    EXPECT_TRUE(labelReads("Output (0.5)"));
    EXPECT_FALSE(labelReads("Output (0.50)")) << "the comparison sees the text";
    out->showValue = 0;
    paint();
    EXPECT_TRUE(labelReads("Output"));
}

TEST_F(OutputLabel, ShowsAFloatControllersValueRoundedToThreeDecimals) {
    HostFloatController controller;
    controller.value = 1.23456f;
    out->sceneController = &controller;
    paint();
    EXPECT_TRUE(labelReads("Output (1.235)"));

    HostPositionController position;
    out->sceneController = &position;
    paint();
    EXPECT_TRUE(labelReads("Output ()")) << "only float controllers give a value";
    out->sceneController = nullptr;
}
