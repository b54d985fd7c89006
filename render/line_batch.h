// line_batch.h - runs of one pen's lines and outlines, drawn with one call each.
#pragma once
#include <windows.h>

#include <vector>

// With the copy pen, pixels of one colour come out the same in any order, so a run of
// lines, outlines and pen-coloured shapes in one pen can be drawn together: the lines
// and outlines with one PolyPolyline, the filled shapes after them. Anything of
// another pen ends the run first. A batch gathers only in the target of a deferring
// paint (see gdi::PaintCache); elsewhere active() is false and the caller draws itself.
class LineBatch {
public:
    explicit LineBatch(HDC dc);
    ~LineBatch() { flush(); }
    LineBatch(const LineBatch&) = delete;
    LineBatch& operator=(const LineBatch&) = delete;

    bool active() const { return active_; }
    // A polyline in pen, drawn as Polyline would draw it.
    void polyline(HPEN pen, const POINT* points, DWORD count);
    // A polygon drawn with pen and filled with brush, whose colour must be the pen's.
    void polygon(HPEN pen, HBRUSH brush, const POINT* points, int count);
    // Draws the run so far; call before drawing anything else into the context.
    void flush();

private:
    void startRun(HPEN pen);

    HDC dc_;
    bool active_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    std::vector<POINT> linePoints_, shapePoints_;
    std::vector<DWORD> lineCounts_;
    std::vector<int> shapeCounts_;
};
