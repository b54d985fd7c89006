// materials.h - materials and their postage stamps.
#pragma once
#include <imtl.h>
#include <maxscript/maxscript.h>
#include <maxscript/maxwrapper/mxsmaterial.h>
