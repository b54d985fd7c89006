// scene.cpp - the open scene, its file envelope, reference identifiers and back-patching.
#include "host/scene/scene.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <set>

#include "host/scene/chunk_file.h"
#include "host/scene/controllers.h"
#include "host/core/errors.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr char kMagic[4] = {'V', 'N', 'T', 'S'};

std::string classText(SClass_ID super, Class_ID id) {
    char text[64];
    std::snprintf(text, sizeof text, "(0x%X, 0x%08lX, 0x%08lX)", unsigned(super),
                  static_cast<unsigned long>(id.a), static_cast<unsigned long>(id.b));
    return text;
}

bool same_text(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

template <class T>
bool eraseFrom(std::vector<T*>& list, const ReferenceTarget* object) {
    auto at = std::find_if(list.begin(), list.end(), [&](T* o) { return o == object; });
    if (at == list.end()) return false;
    list.erase(at);
    return true;
}

// An object loaded from the file, as each kind of back-patch slot wants it.
struct Loaded {
    ReferenceTarget* object = nullptr;
    INode* node = nullptr;
    Control* control = nullptr;
};

class SceneLoader {
public:
    SceneLoader(const uint8_t* data, size_t size, const std::string& source, Scene& into)
        : reader(data, size), source(source), scene(into) {}
    SceneLoader(FILE* file, size_t size, const std::string& source, Scene& into)
        : reader(file, size), source(source), scene(into) {}

    void run() {
        readHeader();
        bool haveContents = false;
        IOResult res;
        while ((res = reader.OpenChunk()) == IO_OK) {
            if (reader.CurChunkID() == scene_chunk::contents && !haveContents) {
                readContents();
                haveContents = true;
            }
            close();  // later versions may add chunks
        }
        if (res != IO_END) damaged();
        if (!haveContents) damaged("the file ends before the scene's contents");
        connectReferences();
        backpatch();
        reader.runPostLoadCallbacks();
    }

    void readContents() {
        IOResult res;
        while ((res = reader.OpenChunk()) == IO_OK) {
            switch (reader.CurChunkID()) {
                case scene_chunk::node: readNode(); break;
                case scene_chunk::track: readTrack(true); break;
                case scene_chunk::controller: readTrack(false); break;
                default: break;
            }
            close();
        }
        if (res != IO_END) damaged();
    }

private:
    [[noreturn]] void damaged(const std::string& detail = "") {
        const std::string why = !detail.empty() ? detail : reader.damage();
        throw RuntimeError("Scene file " + source + " is damaged" + (why.empty() ? "" : ": " + why));
    }

    void open() {
        if (reader.OpenChunk() != IO_OK) damaged();
    }

    void close() {
        if (reader.CloseChunk() != IO_OK) damaged();
    }

    template <class T>
    T read() {
        T value{};
        ULONG n = 0;
        if (reader.Read(&value, sizeof value, &n) != IO_OK) damaged();
        return value;
    }

    void readHeader() {
        char magic[4] = {};
        ULONG n = 0;
        if (reader.OpenChunk() != IO_OK || reader.CurChunkID() != scene_chunk::header ||
            reader.Read(magic, sizeof magic, &n) != IO_OK || std::memcmp(magic, kMagic, 4) != 0)
            throw RuntimeError(source + " is not a Vantrel scene file");
        const uint32_t version = read<uint32_t>();
        if (version != scene_chunk::version && version != 1)
            throw RuntimeError("Scene file " + source + " has format version " +
                               std::to_string(version) + ", which this host cannot read");
        close();
    }

    void remember(int32_t refId, const Loaded& object) {
        if (refId <= 0) damaged("reference identifier " + std::to_string(refId));
        if (!byId.emplace(refId, object).second)
            damaged("reference identifier " + std::to_string(refId) + " used twice");
    }

    std::string readString() {
        char* text = nullptr;
        if (reader.ReadCStringChunk(&text) != IO_OK) damaged();
        return text;
    }

    void readNode() {
        int32_t refId = 0, tmRef = 0;
        std::string name, objectClass = "Dummy";
        bool haveId = false;
        IOResult res;
        while ((res = reader.OpenChunk()) == IO_OK) {
            switch (reader.CurChunkID()) {
                case scene_chunk::nodeRefId:
                    refId = read<int32_t>();
                    haveId = true;
                    break;
                case scene_chunk::nodeName: name = readString(); break;
                case scene_chunk::nodeClass: objectClass = readString(); break;
                case scene_chunk::nodeTM: tmRef = read<int32_t>(); break;
                default: break;
            }
            close();
        }
        if (res != IO_END) damaged();
        if (!haveId) damaged("a scene node without a reference identifier");
        if (objectClass != "Dummy" && objectClass != "Point") damaged("a node of the unknown class " + objectClass);
        // Files of the first version have no transforms: their nodes get the default one.
        INode* node = tmRef ? scene.createLoadingNode(name.c_str(), objectClass.c_str())
                            : scene.createNode(name.c_str(), objectClass.c_str());
        remember(refId, Loaded{node, node, nullptr});
        if (tmRef) nodeTransforms.push_back({node, tmRef});
    }

    void readTrack(bool isTrack) {
        int32_t refId = 0;
        bool haveId = false, haveClass = false, haveData = false;
        SClass_ID super = 0;
        Class_ID id;
        std::vector<int32_t> refs;
        Control* made = nullptr;
        IOResult res;
        while ((res = reader.OpenChunk()) == IO_OK) {
            switch (reader.CurChunkID()) {
                case scene_chunk::trackRefs: {
                    const ULONG n = reader.CurChunkLength() / sizeof(int32_t);
                    if (n > 1024 || reader.CurChunkLength() % sizeof(int32_t)) damaged("a reference list of odd size");
                    refs.resize(n);
                    ULONG got = 0;
                    if (n && reader.Read(refs.data(), n * sizeof(int32_t), &got) != IO_OK) damaged();
                    break;
                }
                case scene_chunk::trackRefId:
                    refId = read<int32_t>();
                    haveId = true;
                    break;
                case scene_chunk::trackClass:
                    super = read<uint32_t>();
                    id.a = read<uint32_t>();
                    id.b = read<uint32_t>();
                    haveClass = true;
                    break;
                case scene_chunk::trackData:
                    if (!haveId || !haveClass || haveData)
                        damaged("track data without its identifier and class");
                    made = readTrackData(refId, super, id, isTrack);
                    haveData = true;
                    break;
                default: break;
            }
            close();
        }
        if (res != IO_END) damaged();
        if (!haveData) damaged("a track without data");
        objectReferences.push_back({made, std::move(refs)});
    }

    Control* readTrackData(int32_t refId, SClass_ID super, Class_ID id, bool isTrack) {
        if (!is_controller_super_class(super))
            damaged("a track of class " + classText(super, id) + ", which is not a controller");
        ClassDesc* cd = find_class(super, id);
        if (!cd)
            throw RuntimeError("Scene file " + source + " needs the plug-in class " +
                               classText(super, id) + ", which is not loaded");
        auto* made = static_cast<Animatable*>(cd->Create(1));
        if (!made) throw RuntimeError("The plug-in class " + classText(super, id) + " made no object");
        auto* control = static_cast<Control*>(made);
        // Owned by the new scene from here on, so any failure below frees it.
        if (isTrack) scene.addTrack(control);
        else scene.adopt(control);
        remember(refId, Loaded{control, nullptr, control});

        const size_t depth = reader.depth();
        IOResult res = IO_ERROR;
        try {
            res = control->Load(&reader);
        } catch (MAXScriptException& e) {
            damaged(e.message());
        } catch (std::bad_alloc&) {
            damaged("out of memory");
        }
        if (res != IO_OK || reader.depth() != depth) damaged();
        return control;
    }

    Control* controlNamed(int32_t refId) {
        auto found = byId.find(refId);
        if (found == byId.end()) damaged("reference to a missing object " + std::to_string(refId));
        if (!found->second.control)
            damaged("reference " + std::to_string(refId) + " names an object of another kind");
        return found->second.control;
    }

    // Every node's transform and every controller's references, as the file names them.
    void connectReferences() {
        for (auto& [node, tmRef] : nodeTransforms)
            if (!node->SetTMController(controlNamed(tmRef)))
                damaged("the transform of node " + node->name + " is not a transform controller");
        for (auto& [object, refs] : objectReferences) {
            if (refs.size() != size_t(object->NumRefs()) && !(refs.empty() && object->NumRefs() == 0))
                damaged("a controller with " + std::to_string(refs.size()) + " references instead of " +
                        std::to_string(object->NumRefs()));
            for (size_t i = 0; i < refs.size(); ++i) {
                ReferenceTarget* target = refs[i] ? controlNamed(refs[i]) : nullptr;
                object->ReplaceReference(int(i), target);
                if (object->GetReference(int(i)) != target)
                    damaged("reference " + std::to_string(refs[i]) + " cannot go where the file puts it");
            }
        }
        refuseCycles();
    }

    // A controller that reaches itself would make every value query loop for ever.
    void refuseCycles() {
        std::map<ReferenceTarget*, int> state;  // 1 being walked, 2 done
        std::vector<std::pair<ReferenceTarget*, int>> stack;
        for (auto& entry : objectReferences) {
            if (state[entry.first]) continue;
            stack.push_back({entry.first, 0});
            state[entry.first] = 1;
            while (!stack.empty()) {
                auto& [object, next] = stack.back();
                if (next == object->NumRefs()) {
                    state[object] = 2;
                    stack.pop_back();
                    continue;
                }
                ReferenceTarget* child = object->GetReference(next++);
                if (!child) continue;
                int& seen = state[child];
                if (seen == 1) damaged("a controller that references itself");
                if (seen == 0) {
                    seen = 1;
                    stack.push_back({child, 0});
                }
            }
        }
    }

    void backpatch() {
        for (const ChunkReader::Backpatch& patch : reader.backpatches()) {
            if (patch.refId == 0) {
                *patch.slot = nullptr;
                continue;
            }
            auto found = byId.find(patch.refId);
            if (found == byId.end())
                damaged("reference to a missing object " + std::to_string(patch.refId));
            *patch.slot = static_cast<ReferenceTarget*>(found->second.object);
        }
    }

    ChunkReader reader;
    const std::string& source;
    Scene& scene;
    std::map<int32_t, Loaded> byId;
    std::vector<std::pair<INode*, int32_t>> nodeTransforms;
    std::vector<std::pair<Control*, std::vector<int32_t>>> objectReferences;
};

void writeChunk(ChunkWriter& w, USHORT id, const void* data, ULONG size) {
    ULONG written = 0;
    w.BeginChunk(id);
    w.Write(data, size, &written);
    w.EndChunk();
}

// Flushes, syncs and closes a file written for a save; false when any step failed.
bool closeDurably(FILE* f) {
    bool ok = std::fflush(f) == 0;
    // On the disk, not only in the system's cache, before the rename makes it the scene:
    // after a power loss the file is then the old one or the whole new one.
#if defined(_WIN32)
    ok = _commit(_fileno(f)) == 0 && ok;
#else
    ok = fsync(fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool replaceFile(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

Scene::Scene() = default;

Scene::~Scene() { reset(); }

std::vector<ReferenceTarget*> referenced_objects(const std::vector<ReferenceTarget*>& roots) {
    std::vector<ReferenceTarget*> found;
    std::set<ReferenceTarget*> seen;
    std::vector<ReferenceTarget*> stack;
    for (auto at = roots.rbegin(); at != roots.rend(); ++at) stack.push_back(*at);
    while (!stack.empty()) {
        ReferenceTarget* object = stack.back();
        stack.pop_back();
        if (!object || !seen.insert(object).second) continue;
        found.push_back(object);
        for (int i = object->NumRefs() - 1; i >= 0; --i) stack.push_back(object->GetReference(i));
    }
    return found;
}

INode* Scene::createLoadingNode(const char* name, const char* objectClass) {
    auto* node = new INode(name ? name : "", objectClass);
    nodeList.push_back(node);
    return node;
}

INode* Scene::createNode(const char* name, const char* objectClass) {
    INode* node = createLoadingNode(name, objectClass);
    auto* tm = new HostPRSController(false);
    adopt(tm);
    node->SetTMController(tm);
    return node;
}

namespace {

// A copy of object and of everything it references; copies made so far are freed when
// one cannot be made. copies keeps shared parts shared in the copy.
ReferenceTarget* cloneTree(ReferenceTarget* object, std::map<ReferenceTarget*, ReferenceTarget*>& copies,
                           std::vector<ReferenceTarget*>& made) {
    if (!object) return nullptr;
    auto known = copies.find(object);
    if (known != copies.end()) return known->second;
    RemapDir remap;
    ReferenceTarget* copy = object->Clone(remap);
    if (!copy) {
        MSTR name;
        object->GetClassName(name, false);
        throw RuntimeError(std::string("The ") + name.data() + " controller cannot be copied");
    }
    made.push_back(copy);
    copies[object] = copy;
    for (int i = 0; i < object->NumRefs(); ++i) copy->ReplaceReference(i, cloneTree(object->GetReference(i), copies, made));
    return copy;
}

}  // namespace

INode* Scene::copyNode(INode* node) {
    std::map<ReferenceTarget*, ReferenceTarget*> copies;
    std::vector<ReferenceTarget*> made;
    ReferenceTarget* tm = nullptr;
    try {
        tm = cloneTree(node->GetTMController(), copies, made);
    } catch (...) {
        // Parents first, so no copy is left pointing at a freed one.
        for (ReferenceTarget* c : made) c->DeleteThis();
        throw;
    }
    std::string base = node->name;
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    INode* copy = createLoadingNode(uniqueNodeName(base).c_str(), node->objectClass.c_str());
    adopt(tm);
    copy->SetTMController(static_cast<Control*>(tm));
    return copy;
}

void Scene::adopt(ReferenceTarget* object) {
    for (ReferenceTarget* o : referenced_objects({object}))
        if (!holds(o)) looseList.push_back(o);
}

void Scene::addTrack(Control* control) {
    if (!control) return;
    if (std::find(trackList.begin(), trackList.end(), control) != trackList.end()) return;
    eraseFrom(looseList, control);
    trackList.push_back(control);
    adopt(control);
}

bool Scene::holds(const ReferenceTarget* object) const {
    auto in = [&](const auto& list) {
        return std::find_if(list.begin(), list.end(), [&](auto* o) { return o == object; }) != list.end();
    };
    return object && (in(nodeList) || in(trackList) || in(looseList));
}

INode* Scene::findNode(const char* name) const {
    for (INode* node : nodeList)
        if (same_text(node->name, name ? name : "")) return node;
    return nullptr;
}

std::string Scene::uniqueNodeName(const std::string& prefix) const {
    for (int n = 1;; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", n);
        if (!findNode((prefix + number).c_str())) return prefix + number;
    }
}

bool Scene::deleteObject(ReferenceTarget* object) {
    if (!object) return false;
    if (eraseFrom(nodeList, object)) {
        std::vector<ReferenceTarget*> tree = referenced_objects({object});
        object->DeleteThis();
        // What other nodes and tracks still use stays.
        std::vector<ReferenceTarget*> roots(nodeList.begin(), nodeList.end());
        roots.insert(roots.end(), trackList.begin(), trackList.end());
        const std::vector<ReferenceTarget*> used = referenced_objects(roots);
        for (ReferenceTarget* c : tree)
            if (c != object && std::find(used.begin(), used.end(), c) == used.end() && eraseFrom(looseList, c))
                c->DeleteThis();
        return true;
    }
    if (!eraseFrom(trackList, object) && !eraseFrom(looseList, object)) return false;
    object->DeleteThis();
    return true;
}

void Scene::reset() {
    // Controllers first: their data may point at scene nodes, never the reverse.
    while (!trackList.empty()) deleteObject(trackList.back());
    while (!looseList.empty()) deleteObject(looseList.back());
    while (!nodeList.empty()) deleteObject(nodeList.back());
}

void Scene::swapContents(Scene& other) {
    nodeList.swap(other.nodeList);
    trackList.swap(other.trackList);
    looseList.swap(other.looseList);
}

std::vector<uint8_t> Scene::saveToBytes() {
    std::vector<uint8_t> bytes;
    save(nullptr, &bytes);
    return bytes;
}

namespace {

void writeInt(ChunkWriter& w, USHORT id, int32_t value) { writeChunk(w, id, &value, sizeof value); }

void writeString(ChunkWriter& w, USHORT id, const char* text) {
    w.BeginChunk(id);
    w.WriteCString(text);
    w.EndChunk();
}

// One controller: its identity, the identifiers of what it references, then its own data.
void writeController(ChunkWriter& w, USHORT chunk, Control* object, int32_t refId) {
    const uint32_t cls[3] = {uint32_t(object->SuperClassID()), uint32_t(object->ClassID().a),
                             uint32_t(object->ClassID().b)};
    w.BeginChunk(chunk);
    writeInt(w, scene_chunk::trackRefId, refId);
    writeChunk(w, scene_chunk::trackClass, cls, sizeof cls);
    if (object->NumRefs() > 0) {
        std::vector<int32_t> refs;
        for (int i = 0; i < object->NumRefs(); ++i) refs.push_back(w.GetRefID(object->GetReference(i)));
        writeChunk(w, scene_chunk::trackRefs, refs.data(), ULONG(refs.size() * sizeof(int32_t)));
    }
    w.BeginChunk(scene_chunk::trackData);
    const size_t depth = w.depth();
    IOResult res;
    try {
        res = object->Save(&w);
    } catch (RuntimeError& e) {
        throw RuntimeError("Scene not saved: " + e.text);
    }
    if (res != IO_OK || w.depth() != depth) {
        MSTR name;
        object->GetClassName(name, false);
        throw RuntimeError(std::string("Scene not saved: the ") + name.data() + " controller could not write its data");
    }
    w.EndChunk();
    w.EndChunk();
}

}  // namespace

bool Scene::save(std::FILE* stream, std::vector<uint8_t>* bytes) {
    // Nodes, then tracks, then every controller they reach, numbered in that order.
    std::map<const void*, int32_t> refIds;
    int32_t next = 1;
    std::vector<ReferenceTarget*> roots;
    for (INode* node : nodeList) refIds[node] = next++, roots.push_back(node);
    for (Control* track : trackList) refIds[track] = next++, roots.push_back(track);
    std::vector<Control*> controllers;
    for (ReferenceTarget* object : referenced_objects(roots))
        if (!refIds.count(object)) {
            refIds[object] = next++;
            controllers.push_back(static_cast<Control*>(object));
        }
    ChunkWriter w([&](void* object) {
        auto found = refIds.find(object);
        return found == refIds.end() ? 0 : found->second;
    });
    if (stream) w.streamTo(stream);

    w.BeginChunk(scene_chunk::header);
    ULONG written = 0;
    w.Write(kMagic, sizeof kMagic, &written);
    const uint32_t version = scene_chunk::version;
    w.Write(&version, sizeof version, &written);
    w.EndChunk();

    w.BeginChunk(scene_chunk::contents);
    for (INode* node : nodeList) {
        w.BeginChunk(scene_chunk::node);
        writeInt(w, scene_chunk::nodeRefId, refIds[node]);
        writeString(w, scene_chunk::nodeName, node->GetName());
        writeString(w, scene_chunk::nodeClass, node->objectClass.c_str());
        if (node->GetTMController()) writeInt(w, scene_chunk::nodeTM, refIds[node->GetTMController()]);
        w.EndChunk();
    }
    for (Control* track : trackList) writeController(w, scene_chunk::track, track, refIds[track]);
    for (Control* c : controllers) writeController(w, scene_chunk::controller, c, refIds[c]);
    w.EndChunk();
    if (w.failed()) throw RuntimeError("Scene not saved: " + w.failure());
    if (stream) return w.finishStream();
    bytes->assign(w.data(), w.data() + w.size());
    return true;
}

void Scene::loadFromBytes(const uint8_t* data, size_t size, const std::string& source) {
    // Everything is built in a scene of its own; only a complete load replaces ours.
    Scene fresh;
    SceneLoader(data, size, source, fresh).run();
    swapContents(fresh);
}

void Scene::saveToFile(const std::string& path) {
    const std::string temporary = path + ".saving";
    // Written as it is made, into a file beside the real one, so a large scene needs no
    // copy of itself in memory and a failure anywhere leaves the real file alone.
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) throw RuntimeError("Scene not saved: cannot write " + temporary);
    bool written = false;
    try {
        written = save(f, nullptr);
    } catch (...) {
        std::fclose(f);
        std::remove(temporary.c_str());
        throw;
    }
    if (!closeDurably(f) || !written) {
        std::remove(temporary.c_str());
        throw RuntimeError("Scene not saved: cannot write " + temporary);
    }
    if (!replaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        throw RuntimeError("Scene not saved: cannot replace " + path);
    }
}

void Scene::loadFromFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw RuntimeError("Cannot read scene file " + path);
    // Read as it is parsed, a window at a time: a large scene needs no copy of its file in
    // memory. The size is taken once; a file cut short meanwhile is refused as damaged.
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        throw RuntimeError("Cannot read scene file " + path);
    }
    Scene fresh;
    try {
        SceneLoader(f, size_t(size), path, fresh).run();
    } catch (std::bad_alloc&) {
        // A datum larger than memory allows (say a huge string) is refused like damage.
        std::fclose(f);
        throw RuntimeError("Scene file " + path + " cannot be loaded: out of memory");
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    swapContents(fresh);
}

Scene& the_scene() {
    // Leaked on purpose: at exit the plug-ins whose objects it holds may be gone.
    static Scene* scene = new Scene;
    return *scene;
}
