// scene.h - the open scene: scene nodes and controller tracks, saved to and loaded from a file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "host/scene/reference.h"
#include "host/scene/scene_values.h"

// The scene owns what it holds: nodes, tracks (controllers assigned at scene
// level, saved with it) and loose objects (made by a script, not yet assigned;
// freed with the scene but not saved). Destroying an object tells its
// dependents first (REFMSG_TARGET_DELETED).
class HOSTSDK_API Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // A helper node of the object class ("Dummy", "Point") with a prs transform
    // controller (Position_XYZ over three Bezier_Float, Euler_XYZ, Bezier_Scale).
    INode* createNode(const char* name, const char* objectClass = "Dummy");
    // A copy of node named after it (graph001), with a copy of each controller of its
    // transform; RuntimeError, adding nothing, when one of them cannot be copied.
    INode* copyNode(INode* node);
    // A node without a transform controller, for a loader whose file brings one.
    INode* createLoadingNode(const char* name, const char* objectClass);
    // Takes an object, and every object it references, into the scene's keeping. An
    // object saves with the scene while a node's transform or a track reaches it.
    void adopt(ReferenceTarget* object);
    // Makes the controller a track; a loose one stops being loose.
    void addTrack(Control* control);
    // Removes the object from the scene and destroys it; false when not held. A node
    // takes with it the controllers of its transform that nothing else in the scene uses.
    bool deleteObject(ReferenceTarget* object);
    bool holds(const ReferenceTarget* object) const;
    // The first node of that name, ignoring case; null when none.
    INode* findNode(const char* name) const;
    // prefix followed by the next free three-digit number: Dummy001, Point002.
    std::string uniqueNodeName(const std::string& prefix) const;

    const std::vector<INode*>& nodes() const { return nodeList; }
    const std::vector<Control*>& tracks() const { return trackList; }

    // Destroys everything the scene holds.
    void reset();

    // The scene file in memory; RuntimeError when an object cannot be written.
    std::vector<uint8_t> saveToBytes();
    // Replaces the contents with the file's. Any damage raises RuntimeError and
    // leaves the scene as it was. source names the file in messages.
    void loadFromBytes(const uint8_t* data, size_t size, const std::string& source = "scene file");

    // Writes a temporary file beside path and renames it over path, so a failed
    // save never destroys the previous file.
    void saveToFile(const std::string& path);
    void loadFromFile(const std::string& path);

private:
    void swapContents(Scene& other);
    // Writes the scene file to stream or, without one, into bytes; false when the
    // stream refused some of it.
    bool save(std::FILE* stream, std::vector<uint8_t>* bytes);
    std::vector<INode*> nodeList;
    std::vector<Control*> trackList;
    std::vector<ReferenceTarget*> looseList;  // every other controller the scene keeps
};

// The controllers reachable from roots through references, each once, parents first.
HOSTSDK_API std::vector<ReferenceTarget*> referenced_objects(const std::vector<ReferenceTarget*>& roots);

// The open scene (one per process).
HOSTSDK_API Scene& the_scene();

// Chunk identifiers of the scene file's own envelope.
namespace scene_chunk {
inline constexpr USHORT header = 0x0001;      // magic "VNTS", uint32 version
// Everything else sits inside one chunk, so a file cut short anywhere is seen to be.
inline constexpr USHORT contents = 0x0002;    // node and track chunks
inline constexpr USHORT node = 0x0010;        // sub-chunks nodeRefId, nodeName, nodeClass, nodeTM
inline constexpr USHORT nodeRefId = 0x0011;
inline constexpr USHORT nodeName = 0x0012;
inline constexpr USHORT nodeClass = 0x0013;   // the object's script name
inline constexpr USHORT nodeTM = 0x0014;      // int32 reference identifier of the transform controller
// A track (saved at scene level) or a controller some node's transform or track reaches.
inline constexpr USHORT track = 0x0020;       // sub-chunks trackRefId, trackClass, trackRefs, trackData
inline constexpr USHORT controller = 0x0030;  // the same sub-chunks as a track
inline constexpr USHORT trackRefId = 0x0021;
inline constexpr USHORT trackClass = 0x0022;  // uint32 super class, uint32 class a, uint32 class b
inline constexpr USHORT trackData = 0x0023;   // whatever the object's Save writes
inline constexpr USHORT trackRefs = 0x0024;   // int32 reference identifier of each reference, in order
inline constexpr uint32_t version = 2;
}  // namespace scene_chunk
