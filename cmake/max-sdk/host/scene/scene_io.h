// scene_io.h - the chunked scene-file interfaces.
#pragma once
#include <max.h>
#include <ioapi.h>
