// images.h - bitmaps, the script bitmap value and the palette port that draws maps.
#pragma once
#include <windows.h>
#include <vector>
#include "host/core/value.h"

typedef unsigned char UBYTE;
typedef unsigned short UWORD;

// One pixel with 16 bits a channel, the host's working colour depth.
struct BMM_Color_64 {
    WORD r = 0, g = 0, b = 0, a = 0;
};

// An image in memory. Pixels are addressed from the top-left corner.
class HOSTSDK_API Bitmap {
public:
    Bitmap(int width, int height);
    virtual ~Bitmap() = default;
    int Width() const { return width; }
    int Height() const { return height; }

    // Copies count pixels of row y starting at x; false when they leave the image.
    bool PutPixels(int x, int y, int count, const BMM_Color_64* pixels);
    bool GetPixels(int x, int y, int count, BMM_Color_64* pixels) const;
    void Fill(BMM_Color_64 colour);

    // A packed device-independent bitmap: the 40-byte header, then bottom-up rows
    // (24 bits: B, G, R padded to 4 bytes a row; 32 bits: B, G, R, 0). With a gamma
    // table, each 8-bit channel c becomes the low byte of gamma[c] (256 entries).
    // Dithering only matters below 24 bits, which this host does not make.
    // The caller frees the result with LocalFree; null for other depths or no memory.
    PBITMAPINFO ToDib(int depth = 24, UWORD* gamma = NULL, BOOL dither = FALSE);

private:
    int width, height;
    std::vector<BMM_Color_64> pixels;
};

extern HOSTSDK_API ValueMetaClass MAXBitMap_class;

// The script's bitmap value; it owns its Bitmap.
class HOSTSDK_API MAXBitMap : public Value {
public:
    Bitmap* bm;
    explicit MAXBitMap(Bitmap* bitmap);
    ~MAXBitMap() override;
    void sprin1(CharStream* s) override;  // BitMap:WxH
    Value* get_property(Value** arg_list, int count) override;  // width, height
};

// A Win32 rectangle with the host's helpers.
class HOSTSDK_API Rect : public RECT {
public:
    Rect() : RECT{0, 0, 0, 0} {}
    Rect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int w() const { return right - left; }
    int h() const { return bottom - top; }
};

// The palette port: draws 24-bit maps into device contexts.
class HOSTSDK_API GPort {
public:
    virtual ~GPort() = default;
    // Draws dest.w() x dest.h() pixels of map, starting at (xsrc, ysrc), at dest.
    // The map holds rows top to bottom of R, G, B bytes, bytesPerRow apart.
    virtual void DisplayMap(HDC hdc, Rect& dest, int xsrc, int ysrc, UBYTE* map, int bytesPerRow);
};
HOSTSDK_API GPort* GetGPort();
