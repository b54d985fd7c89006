// line_batch.cpp - one pen's run of lines and shapes, drawn when the pen changes.
#include "render/line_batch.h"

#include "render/gdi.h"

namespace {
// Keeps one call's point list to a size every GDI takes.
constexpr size_t kMaxRunPoints = 8192;
}  // namespace

LineBatch::LineBatch(HDC dc) : dc_(dc), active_(gdi::PaintCache::current().defers(dc)) {}

void LineBatch::startRun(HPEN pen) {
    if (pen != pen_ || linePoints_.size() + shapePoints_.size() > kMaxRunPoints) flush();
    pen_ = pen;
}

void LineBatch::polyline(HPEN pen, const POINT* points, DWORD count) {
    startRun(pen);
    linePoints_.insert(linePoints_.end(), points, points + count);
    lineCounts_.push_back(count);
}

void LineBatch::polygon(HPEN pen, HBRUSH brush, const POINT* points, int count) {
    startRun(pen);
    if (brush != brush_ && !shapeCounts_.empty()) flush();
    pen_ = pen;
    brush_ = brush;
    shapePoints_.insert(shapePoints_.end(), points, points + count);
    shapeCounts_.push_back(count);
}

void LineBatch::flush() {
    if (lineCounts_.empty() && shapeCounts_.empty()) return;
    gdi::ScopedSelect selectPen(dc_, pen_);
    if (!lineCounts_.empty()) {
        gdi::readyForLines(dc_);
        PolyPolyline(dc_, linePoints_.data(), lineCounts_.data(), DWORD(lineCounts_.size()));
    }
    if (!shapeCounts_.empty()) {
        gdi::ScopedSelect selectBrush(dc_, brush_);
        gdi::ready(dc_);
        const POINT* p = shapePoints_.data();
        for (int count : shapeCounts_) {
            Polygon(dc_, p, count);
            p += count;
        }
    }
    linePoints_.clear();
    lineCounts_.clear();
    shapePoints_.clear();
    shapeCounts_.clear();
}
