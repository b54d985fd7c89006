// plugapi.h - the version a plug-in reports from LibVersion, and what the host accepts.
#pragma once

// The release this host is (3ds Max 2022), its plug-in interface number and SDK revision.
#define MAX_RELEASE_R24 24000
#define MAX_RELEASE MAX_RELEASE_R24
#define MAX_API_NUM_R240 60
#define MAX_API_NUM MAX_API_NUM_R240
#define MAX_SDK_REV 0

// What LibVersion returns: release, interface number and revision in one word.
#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

// The parts of a LibVersion word.
#define GET_MAX_RELEASE(x) (((x) >> 16) & 0xffff)
#define GET_MAX_API_NUM(x) (((x) >> 8) & 0xff)
#define GET_MAX_SDK_REV(x) ((x) & 0xff)
