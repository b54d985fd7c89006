// images.h - bitmaps, the script bitmap value and the palette port.
#pragma once
#include <bitmap.h>
#include <gport.h>
#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/bitmaps.h>
