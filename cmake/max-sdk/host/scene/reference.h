// reference.h - references, animatables and controllers.
#pragma once
#include <max.h>
#include <ref.h>
#include <control.h>
