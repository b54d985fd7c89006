// materials.h - materials and maps, their postage stamps, and their script values.
#pragma once
#include <map>
#include <memory>
#include <vector>
#include "host/win32/images.h"
#include "host/scene/reference.h"
#include "host/scene/scene_values.h"

// Postage-stamp sizes.
#define PS_SMALL 0  // 32 pixels square
#define PS_LARGE 1  // 88 pixels square
#define PS_TINY 2   // 24 pixels square

#define MATERIAL_CLASS_ID 0x0C00
#define TEXMAP_CLASS_ID 0x0C10

// A small preview image of a material.
class HOSTSDK_API PStamp {
public:
    PStamp(int width, int height);
    virtual ~PStamp() = default;
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    // Bytes a row: R, G, B triples padded to 4 bytes.
    static int RowBytes(int width) { return ((width * 3 + 3) / 4) * 4; }
    // Copies the image, rows top to bottom, into img (RowBytes(Width()) * Height() bytes).
    virtual void GetImage(BYTE* img);
    std::vector<BYTE> image;

private:
    int width, height;
};

// A material or a map.
class HOSTSDK_API MtlBase : public ReferenceTarget {
public:
    // The postage stamp of the given size, rendered first when render is set and
    // there is none yet. The material keeps it; null when it has none.
    virtual PStamp* CreatePStamp(int size, BOOL render = FALSE);
    // Drops the stamps, which no longer show the material.
    void InvalidatePStamps() { stamps.clear(); }

protected:
    // Makes a stamp of size x size pixels; null when the material cannot.
    virtual PStamp* RenderPStamp(int size) { return nullptr; }

private:
    std::map<int, std::unique_ptr<PStamp>> stamps;
};

// The standard material: a diffuse colour lit from the upper left.
class HOSTSDK_API StdMat : public MtlBase {
public:
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("Standardmaterial"); }
    SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(2, 0); }
    void SetDiffuse(COLORREF colour, TimeValue t = 0);
    COLORREF GetDiffuse(TimeValue t = 0) const { return diffuse; }

protected:
    // A shaded ball on a dark grey ground.
    PStamp* RenderPStamp(int size) override;

private:
    COLORREF diffuse = 0x00808080;
};

extern HOSTSDK_API ValueMetaClass MAXMaterial_class;

// The script value of a material or map; one per material, like other scene wrappers.
class HOSTSDK_API MAXMaterial : public MAXWrapper {
public:
    static Value* intern(MtlBase* material);  // undefined for none
    void sprin1(CharStream* s) override;       // the material class name
    MtlBase* to_mtlbase() override;
    explicit MAXMaterial(MtlBase* material);  // use intern
};
