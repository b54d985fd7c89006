// class_directory.h - class identifiers and descriptors.
#pragma once
#include <max.h>
#include <plugapi.h>
#include <iparamb2.h>
