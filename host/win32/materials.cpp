// materials.cpp - postage stamps: a shaded ball of the diffuse colour.
#include "host/win32/materials.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/core/errors.h"

ValueMetaClass MAXMaterial_class("material");

namespace {

int stampPixels(int size) {
    switch (size) {
        case PS_SMALL: return 32;
        case PS_LARGE: return 88;
        case PS_TINY: return 24;
        default: return 0;
    }
}

constexpr BYTE kGround = 60;

}  // namespace

PStamp::PStamp(int width, int height)
    : image(static_cast<size_t>(RowBytes(width)) * height), width(width), height(height) {}

void PStamp::GetImage(BYTE* img) {
    if (img) std::memcpy(img, image.data(), image.size());
}

PStamp* MtlBase::CreatePStamp(int size, BOOL render) {
    const int pixels = stampPixels(size);
    if (!pixels) return nullptr;
    auto it = stamps.find(size);
    if (it != stamps.end()) return it->second.get();
    if (!render) return nullptr;
    PStamp* stamp = RenderPStamp(pixels);
    if (!stamp) return nullptr;
    stamps[size].reset(stamp);
    return stamp;
}

void StdMat::SetDiffuse(COLORREF colour, TimeValue) {
    diffuse = colour & 0x00ffffff;
    InvalidatePStamps();
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

PStamp* StdMat::RenderPStamp(int size) {
    auto* stamp = new PStamp(size, size);
    const float half = size * 0.5f;
    const float radius = size * 0.45f;
    // Light from the upper left and in front of the ball.
    const float lx = -1.0f, ly = 1.0f, lz = 1.5f;
    const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const float r = float(diffuse & 0xff), g = float((diffuse >> 8) & 0xff),
                b = float((diffuse >> 16) & 0xff);
    const int stride = PStamp::RowBytes(size);
    for (int y = 0; y < size; ++y) {
        BYTE* row = &stamp->image[static_cast<size_t>(y) * stride];
        for (int x = 0; x < size; ++x) {
            BYTE* px = row + x * 3;
            const float dx = (x + 0.5f - half) / radius;
            const float dy = (half - (y + 0.5f)) / radius;  // up is positive
            const float d2 = dx * dx + dy * dy;
            if (d2 > 1.0f) {
                px[0] = px[1] = px[2] = kGround;
                continue;
            }
            const float nz = std::sqrt(1.0f - d2);
            const float lambert = std::max(0.0f, (dx * lx + dy * ly + nz * lz) / ll);
            const float shade = 0.25f + 0.75f * lambert;
            px[0] = BYTE(std::min(255.0f, r * shade));
            px[1] = BYTE(std::min(255.0f, g * shade));
            px[2] = BYTE(std::min(255.0f, b * shade));
        }
    }
    return stamp;
}

MAXMaterial::MAXMaterial(MtlBase* material) : MAXWrapper(material) { tag = &MAXMaterial_class; }

Value* MAXMaterial::intern(MtlBase* material) {
    if (!material) return &undefined;
    if (MAXWrapper* existing = MAXWrapper::find(material)) return existing;
    return new MAXMaterial(material);
}

MtlBase* MAXMaterial::to_mtlbase() { return static_cast<MtlBase*>(checkedTarget()); }

void MAXMaterial::sprin1(CharStream* s) {
    if (!target) {
        s->puts("<Deleted material>");
        return;
    }
    MSTR name;
    target->GetClassName(name, false);
    s->puts(name.data());
}
