// scene_test.cpp - the scene file: round trips, back-patching, refusing damage, safe replacement.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "host/scene/controllers.h"
#include "host/core/errors.h"
#include "host/scene/scene.h"
#include "host/scene/scene_functions.h"

namespace {

constexpr USHORT kRefsChunk = 0x0200;

// A track that refers to a scene node and another controller, as plug-ins do.
class LinkedTrack : public HostFloatController {
public:
    INode* node = nullptr;
    Control* other = nullptr;
    int32_t rawNodeRef = 0;  // written instead of the node's identifier when set
    bool failSave = false;
    void GetClassName(MSTR& s, bool localized = true) const override { s = _M("LinkedTrack"); }
    Class_ID ClassID() override { return Class_ID(0x7E57, 1); }
    IOResult Save(ISave* isave) override {
        if (failSave) return IO_ERROR;
        HostFloatController::Save(isave);
        const int32_t refs[2] = {rawNodeRef ? rawNodeRef : isave->GetRefID(node), isave->GetRefID(other)};
        ULONG n = 0;
        isave->BeginChunk(kRefsChunk);
        isave->Write(refs, sizeof refs, &n);
        isave->EndChunk();
        return IO_OK;
    }
    IOResult Load(ILoad* iload) override {
        IOResult res;
        while ((res = iload->OpenChunk()) == IO_OK) {
            if (iload->CurChunkID() == kRefsChunk) {
                int32_t refs[2];
                ULONG n = 0;
                if (iload->Read(refs, sizeof refs, &n) != IO_OK) return IO_ERROR;
                iload->RecordBackpatch(refs[0], reinterpret_cast<void**>(&node));
                iload->RecordBackpatch(refs[1], reinterpret_cast<void**>(&other));
                iload->RegisterPostLoadCallback(&checkKinds);
            }
            if (iload->CloseChunk() != IO_OK) return IO_ERROR;
        }
        return res == IO_END ? IO_OK : IO_ERROR;
    }

    // The host patches in whatever the file names; a slot keeps only its own kind.
    struct CheckKinds : PostLoadCallback {
        LinkedTrack& track;
        explicit CheckKinds(LinkedTrack& track) : track(track) {}
        void proc(ILoad*) override {
            auto* object = reinterpret_cast<ReferenceTarget*>(track.node);
            if (object && object->SuperClassID() != BASENODE_CLASS_ID) track.node = nullptr;
        }
    } checkKinds{*this};
};

class LinkedTrackDesc : public ClassDesc {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return static_cast<Animatable*>(new LinkedTrack); }
    const MCHAR* ClassName() override { return _M("LinkedTrack"); }
    const MCHAR* NonLocalizedClassName() override { return _M("LinkedTrack"); }
    SClass_ID SuperClassID() override { return CTRL_FLOAT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x7E57, 1); }
    const MCHAR* Category() override { return _M("tests"); }
};

// Watches one target through a reference and records what it hears.
struct DeletionSpy : ReferenceMaker {
    ReferenceTarget* target = nullptr;
    std::vector<ReferenceTarget*> deleted;
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int) override { return target; }
    BOOL IsRealDependency(ReferenceTarget*) override { return FALSE; }
    void SetReference(int, RefTargetHandle t) override { target = t; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle t, PartID&, RefMessage m, BOOL) override {
        if (m == REFMSG_TARGET_DELETED) deleted.push_back(t);
        return REF_SUCCEED;
    }
};

class SceneFile : public ::testing::Test {
protected:
    Scene scene;
    HostFloatController* value = new HostFloatController;
    LinkedTrack* linked = new LinkedTrack;

    SceneFile() {
        static LinkedTrackDesc desc;
        register_class(&desc);
        scene.createNode("box");
        INode* sphere = scene.createNode("sphere");
        value->value = 2.5f;
        auto* position = new HostPositionController;
        position->x = 1, position->y = 2, position->z = 3;
        linked->node = sphere;
        linked->other = value;
        scene.addTrack(value);
        scene.addTrack(position);
        scene.addTrack(linked);
    }

    std::vector<std::string> nodeNames() const {
        std::vector<std::string> names;
        for (INode* n : scene.nodes()) names.push_back(n->name);
        return names;
    }
};

TEST_F(SceneFile, RoundTripRestoresNodesTracksValuesAndReferences) {
    const std::vector<uint8_t> bytes = scene.saveToBytes();
    DeletionSpy spy;
    spy.ReplaceReference(0, value, FALSE);
    scene.loadFromBytes(bytes.data(), bytes.size());

    EXPECT_EQ(spy.deleted, std::vector<ReferenceTarget*>{value}) << "the old scene is gone";
    EXPECT_EQ(nodeNames(), (std::vector<std::string>{"box", "sphere"}));
    ASSERT_EQ(scene.tracks().size(), 3u);
    auto* v = static_cast<HostFloatController*>(scene.tracks()[0]);
    auto* p = static_cast<HostPositionController*>(scene.tracks()[1]);
    auto* l = static_cast<LinkedTrack*>(scene.tracks()[2]);
    EXPECT_EQ(v->value, 2.5f);
    EXPECT_EQ(p->ClassID(), Class_ID(0x2008, 0));
    EXPECT_EQ((std::vector<float>{p->x, p->y, p->z}), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(l->node, scene.nodes()[1]);
    EXPECT_EQ(l->other, v);
    EXPECT_EQ(scene.saveToBytes(), bytes);
}

TEST_F(SceneFile, DamagedFileIsRefusedAndTheSceneStaysAsItWas) {
    const std::vector<uint8_t> bytes = scene.saveToBytes();
    const std::vector<Control*> tracks = scene.tracks();
    auto expectRefused = [&](std::vector<uint8_t> file, const std::string& message) {
        try {
            scene.loadFromBytes(file.data(), file.size(), "s.vsc");
            ADD_FAILURE() << "loaded: " << message;
        } catch (RuntimeError& e) {
            if (!message.empty()) EXPECT_EQ(e.text, message);
        }
        EXPECT_EQ(scene.tracks(), tracks);
        EXPECT_EQ(nodeNames(), (std::vector<std::string>{"box", "sphere"}));
    };
    for (size_t n = 0; n < bytes.size(); ++n)
        expectRefused(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n)), "");

    expectRefused({'P', 'K', 3, 4, 0, 0, 0, 0}, "s.vsc is not a Vantrel scene file");
    std::vector<uint8_t> oversized = bytes;
    oversized[23] = 0xFF;  // the first node chunk claims more than its parent holds
    expectRefused(oversized, "Scene file s.vsc is damaged: chunk 0x0010 at byte 20 does not fit inside its parent");

    linked->rawNodeRef = 99;
    expectRefused(scene.saveToBytes(), "Scene file s.vsc is damaged: reference to a missing object 99");
    linked->rawNodeRef = 0;
}

TEST_F(SceneFile, ASlotPatchedWithAnotherKindIsClearedByItsOwnersCheck) {
    linked->node = reinterpret_cast<INode*>(value);  // a file that names a controller where a node goes
    const std::vector<uint8_t> bytes = scene.saveToBytes();
    scene.loadFromBytes(bytes.data(), bytes.size(), "s.vsc");
    auto* l = static_cast<LinkedTrack*>(scene.tracks()[2]);
    EXPECT_EQ(l->node, nullptr);
    EXPECT_EQ(l->other, scene.tracks()[0]);
}

TEST_F(SceneFile, MissingPluginClassIsNamed) {
    struct Unknown : HostFloatController {
        Class_ID ClassID() override { return Class_ID(0xAB, 0xCD); }
    };
    scene.addTrack(new Unknown);
    const std::vector<uint8_t> bytes = scene.saveToBytes();
    try {
        scene.loadFromBytes(bytes.data(), bytes.size(), "s.vsc");
        FAIL();
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.text, "Scene file s.vsc needs the plug-in class (0x9003, 0x000000AB, 0x000000CD), "
                          "which is not loaded");
    }
}

TEST_F(SceneFile, SavingReplacesTheFileOnlyWhenTheWholeSceneWasWritten) {
    const std::string path = ::testing::TempDir() + "scene_test.vsc";
    scene.saveToFile(path);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> first{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(first, scene.saveToBytes());

    linked->failSave = true;
    try {
        scene.saveToFile(path);
        FAIL();
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.text, "Scene not saved: the LinkedTrack controller could not write its data");
    }
    std::ifstream again(path, std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(again), {}), first);
    EXPECT_FALSE(std::ifstream(path + ".saving").good()) << "no temporary left behind";
    linked->failSave = false;

    Scene other;
    other.loadFromFile(path);
    EXPECT_EQ(other.tracks().size(), 3u);
    EXPECT_THROW(other.loadFromFile(path + ".missing"), RuntimeError);
    std::remove(path.c_str());
}

TEST(SceneFunctions, ScriptsMakeAssignListAndDeleteControllersThroughTheClassDirectory) {
    the_scene().reset();
    Value* name[] = {Name::intern("bezier_float")};
    Value* made = create_instance_cf(name, 1);
    Control* control = made->to_controller();
    EXPECT_EQ(control->ClassID(), Class_ID(0x2007, 0));
    EXPECT_TRUE(the_scene().holds(control));
    EXPECT_TRUE(the_scene().tracks().empty()) << "made, not yet assigned";

    Value* arg[] = {made};
    scene_add_track_cf(arg, 1);
    auto* tracks = static_cast<Array*>(scene_tracks_cf(nullptr, 0));
    ASSERT_EQ(tracks->size, 1);
    EXPECT_EQ(tracks->data[0], made);

    EXPECT_EQ(scene_delete_cf(arg, 1), &true_value);
    EXPECT_THROW(made->to_controller(), RuntimeError) << "the wrapper forgot the deleted controller";

    HostFloatController stranger;
    Value* foreign[] = {MAXControl::intern(&stranger)};
    EXPECT_THROW(scene_add_track_cf(foreign, 1), RuntimeError);
    Value* unknown[] = {Name::intern("noSuchClass")};
    EXPECT_THROW(create_instance_cf(unknown, 1), RuntimeError);
}

}  // namespace

namespace {

// A float track that references one other controller, any kind: enough to write a circle.
class LoopTrack : public HostFloatController {
public:
    Control* next = nullptr;
    ~LoopTrack() override { DeleteAllRefsFromMe(); }
    Class_ID ClassID() override { return Class_ID(0x7E57, 2); }
    int NumRefs() override { return 1; }
    ReferenceTarget* GetReference(int i) override { return i == 0 ? next : nullptr; }
    void SetReference(int i, ReferenceTarget* t) override {
        if (i == 0) next = static_cast<Control*>(t);
    }
};

class LoopTrackDesc : public ClassDesc {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return static_cast<Animatable*>(new LoopTrack); }
    const MCHAR* ClassName() override { return _M("LoopTrack"); }
    const MCHAR* NonLocalizedClassName() override { return _M("LoopTrack"); }
    SClass_ID SuperClassID() override { return CTRL_FLOAT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x7E57, 2); }
    const MCHAR* Category() override { return _M("tests"); }
};

Control* part(Control* c, int i) { return static_cast<Control*>(c->GetReference(i)); }

float floatValue(Control* c) {
    float v = 0;
    Interval valid;
    c->GetValue(0, &v, valid);
    return v;
}

}  // namespace

TEST(SceneNodes, TransformTreesRoundTripWithSharedTracksAndCirclesAreRefused) {
    Scene scene;
    INode* graph = scene.createNode("graph", "Point");
    INode* other = scene.createNode("other");
    auto* kept = new HostFloatController;
    kept->value = 7;
    scene.adopt(kept);
    // The same track on graph's X and other's Y position: instanced, as 3ds Max allows.
    ASSERT_TRUE(part(graph->GetTMController(), 0)->AssignController(kept, 0));
    ASSERT_TRUE(part(other->GetTMController(), 0)->AssignController(kept, 1));
    HostPositionController wrongKind;
    EXPECT_FALSE(part(graph->GetTMController(), 0)->AssignController(&wrongKind, 2))
        << "a position controller cannot be an axis";

    const std::vector<uint8_t> bytes = scene.saveToBytes();
    Scene loaded;
    loaded.loadFromBytes(bytes.data(), bytes.size());
    ASSERT_EQ(loaded.nodes().size(), 2u);
    INode* g = loaded.nodes()[0];
    EXPECT_EQ(g->objectClass, "Point");
    ASSERT_NE(g->GetTMController(), nullptr);
    EXPECT_EQ(g->GetTMController()->ClassID(), Class_ID(0x2005, 0));
    Control* x = part(part(g->GetTMController(), 0), 0);
    EXPECT_EQ(floatValue(x), 7.0f);
    EXPECT_EQ(part(part(loaded.nodes()[1]->GetTMController(), 0), 1), x) << "still one track";
    EXPECT_EQ(loaded.saveToBytes(), bytes);

    // Deleting a node takes its own controllers; the shared track stays with the other node.
    Control* gTransform = g->GetTMController();
    loaded.deleteObject(g);
    EXPECT_FALSE(loaded.holds(gTransform));
    EXPECT_TRUE(loaded.holds(x));
    EXPECT_EQ(part(part(loaded.nodes()[0]->GetTMController(), 0), 1), x);

    static LoopTrackDesc desc;
    register_class(&desc);
    auto* a = new LoopTrack;
    auto* b = new LoopTrack;
    a->ReplaceReference(0, b);
    b->ReplaceReference(0, a);
    scene.addTrack(a);
    const std::vector<uint8_t> circle = scene.saveToBytes();
    try {
        loaded.loadFromBytes(circle.data(), circle.size(), "c.max");
        ADD_FAILURE() << "a circle of references was loaded";
    } catch (RuntimeError& e) {
        EXPECT_EQ(e.text, "Scene file c.max is damaged: a controller that references itself");
    }
    EXPECT_EQ(loaded.nodes().size(), 1u) << "the open scene stays";
    b->ReplaceReference(0, nullptr);  // lets the scene free both
}
