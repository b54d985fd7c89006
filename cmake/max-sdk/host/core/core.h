// core.h - the core interface and the interface colours.
#pragma once
#include <max.h>
#include <iColorMan.h>
