// plugapi.h - the SDK's version macros and class descriptors.
#pragma once
#include <max.h>
#include <plugapi.h>
