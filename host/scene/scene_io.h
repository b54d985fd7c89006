// scene_io.h - the chunked save and load interfaces scene objects write and read themselves with.
#pragma once
#include "host/core/hostsdk_api.h"
#include "host/core/win_types.h"

enum IOResult { IO_OK = 0, IO_END = 1, IO_ERROR = 2 };

// RecordBackpatch flag: the reference is kept when the scene is merged into another.
#define BACKPATCH_FORCE_MERGE 1

// Writing: every datum goes into a chunk. A chunk holds either data or
// sub-chunks, never both; chunks nest.
class HOSTSDK_API ISave {
public:
    virtual ~ISave() = default;
    virtual void BeginChunk(USHORT id) = 0;
    virtual void EndChunk() = 0;
    virtual IOResult Write(const void* buf, ULONG nbytes, ULONG* nwritten) = 0;
    // The string and its terminating zero.
    virtual IOResult WriteCString(const char* s) = 0;
    // Identifier of a scene object that is saved with the scene; 0 for one that is not.
    virtual int GetRefID(void* object) = 0;
};

class ILoad;

// Work an object asks for once the whole scene is read and every back-patch is
// filled in. The host does not own it; it is never run for a refused file.
class HOSTSDK_API PostLoadCallback {
public:
    virtual ~PostLoadCallback() = default;
    virtual void proc(ILoad* iload) = 0;
};

// Reading: OpenChunk walks the chunks of the current level (IO_END after the
// last); CloseChunk returns to the level above, skipping whatever was not read.
class HOSTSDK_API ILoad {
public:
    virtual ~ILoad() = default;
    virtual IOResult OpenChunk() = 0;
    virtual USHORT CurChunkID() = 0;
    // Payload bytes of the open chunk (its header not counted).
    virtual ULONGLONG CurChunkLength() = 0;
    // IO_ERROR, reading nothing, when fewer than nbytes are left in the open data chunk.
    virtual IOResult Read(void* buf, ULONG nbytes, ULONG* nread) = 0;
    // The whole open data chunk as one string; the loader owns the buffer.
    virtual IOResult ReadCStringChunk(char** s) = 0;
    virtual IOResult CloseChunk() = 0;
    // Once every object is loaded, the host stores the scene object (a
    // ReferenceTarget*) with this identifier in *patchThis (null for identifier 0).
    // Whatever kind of object that is: the loader checks it once the load is done.
    virtual void RecordBackpatch(int imaker, void** patchThis, DWORD flags = 0) = 0;
    // Runs cb after the back-patches, in the order registered.
    virtual void RegisterPostLoadCallback(PostLoadCallback* cb) = 0;
};
