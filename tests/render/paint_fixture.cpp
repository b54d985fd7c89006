// paint_fixture.cpp - painting, pixel probes and failure screenshots for the render tests.
#include "tests/render/paint_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "host/core/core.h"
#include "host/win32/screenshot.h"

GdiCounters gdiCounters() {
    auto read = [](const char* name) {
        // Through void (*)(): FARPROC returns INT_PTR, which is wider than int in the 64-bit build.
        auto* fn = reinterpret_cast<int (*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(PluginSession::get().module, name)));
        EXPECT_NE(fn, nullptr) << name << " is not exported";
        return fn ? fn() : -1;
    };
    return {read("vantrelLiveGdiObjects"), read("vantrelGdiObjectsMade"), read("vantrelWindowBlits"),
            read("vantrelGdiDeletedWhileSelected")};
}

void PaintTest::SetUp() {
    ASSERT_TRUE(ro.open());
    ASSERT_NE(sc().window, nullptr);
    view().showInfo = 0;
}

void PaintTest::TearDown() {
    if (!HasFailure() || !sc().backBuffer.dc.get()) return;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    CreateDirectoryA("test-output", nullptr);
    const std::string path = "test-output/" + name + ".png";
    if (saveDCPng(sc().backBuffer.dc.get(), kViewWidth, kViewHeight, path.c_str()))
        std::fprintf(stderr, "back buffer saved to %s\n", path.c_str());
}

SchematicNode& PaintTest::addNodeAt(float x, float y, COLORREF color) {
    addNode(graph());
    SchematicNode& node = *graph().nodeTable->back();
    node.position = {x, y};
    node.nodeName.clear();
    node.nodeColor = color;
    return node;
}

SchematicSocket& PaintTest::addInput(SchematicNode& node, const char* name) {
    return *addSocket(graph(), node, 0, name, false);
}

SchematicSocket& PaintTest::addOutput(SchematicNode& node, const char* name) {
    return *addSocket(graph(), node, 1, name, false);
}

void PaintTest::paint() {
    ++graph().generation;  // tests write records directly, behind the spatial index's back
    InvalidateRect(sc().window, nullptr, FALSE);
    UpdateWindow(sc().window);
}

void PaintTest::dirtyBuffer(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, kViewWidth, kViewHeight};
    FillRect(sc().backBuffer.dc.get(), &all, brush);
    DeleteObject(brush);
}

int PaintTest::count(RECT area, COLORREF color) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += pixel(x, y) == color;
    return n;
}

int PaintTest::countOther(RECT area, COLORREF color) const {
    return (area.right - area.left) * (area.bottom - area.top) - count(area, color);
}

int colorDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

InterfaceBackground::InterfaceBackground(COLORREF color)
    : previous(GetColorManager()->GetColor(kBackground)) {
    GetColorManager()->SetColor(kBackground, color);
}

InterfaceBackground::~InterfaceBackground() { GetColorManager()->SetColor(kBackground, previous); }

ReferenceImage::ReferenceImage(HDC like, COLORREF fill) {
    dc_ = CreateCompatibleDC(like);
    bitmap_ = CreateCompatibleBitmap(like, kViewWidth, kViewHeight);
    previous_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, kViewWidth, kViewHeight};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

ReferenceImage::~ReferenceImage() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}
