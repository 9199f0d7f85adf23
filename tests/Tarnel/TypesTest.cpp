#include "Tarnel/Scene/MovableObjectOwner.h"
#include "Tarnel/Read/TarnelIndex.h"
#include "Tarnel/Read/Types.h"
#include "support/Engine.h"
#include "support/Xml.h"

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSkeletonInstance.h>
#include <OgreTagPoint.h>

using namespace Ogre;
using namespace Tarnel::Types;

// The defaults that readers rely on when an attribute is absent, where they are not the obvious zero.
TEST(Records, DefaultsThatReadersRelyOn)
{
    EntityParameters entity;
    EXPECT_EQ(std::make_tuple(50, true, true), std::make_tuple(int(entity.renderQueue), entity.castShadows,
                                                               entity.indexBufferShadowed));
    EXPECT_EQ(HardwareBuffer::HBU_STATIC_WRITE_ONLY, entity.vertexBufferUsage);
    LightParameters light;
    EXPECT_FLOAT_EQ(0.6981317f, light.spotlightInnerAngle.valueRadians()) << "the inner default is the wider";
    EXPECT_FLOAT_EQ(0.5235988f, light.spotlightOuterAngle.valueRadians());
    EXPECT_EQ(std::make_pair(100000.0f, Vector3::UNIT_Z), std::make_pair(light.attenuationRange, light.direction));
    CameraParameters camera;
    EXPECT_FLOAT_EQ(Math::HALF_PI, camera.fovy.valueRadians());
    EXPECT_EQ(Vector2(1.33f, 100), Vector2(camera.aspectRatio, camera.nearClip));
    EXPECT_EQ(Vector3::NEGATIVE_UNIT_Z, camera.direction);
    BillboardSetParameters billboards;
    EXPECT_EQ(std::make_pair(BBO_CENTER, BBR_TEXCOORD),
              std::make_pair(billboards.billboardOrigin, billboards.billboardRotationType));
    EXPECT_EQ(ColourValue::White, Tarnel::Types::Billboard().color);
    EXPECT_EQ(Vector3::UNIT_Z, PlaneParameters().upVector);
    EXPECT_EQ(Animation::IM_SPLINE, NodeAnimationParameters().interpolationMode);
    EXPECT_EQ(Vector3::UNIT_SCALE, KeyFrameParameters().scale);
}

TEST(Records, AnEntityOwnsTheObjectsOnItsBones)
{
    static_assert(!std::is_copy_constructible<BoneAttachment>::value, "an attachment is never copied");
    static_assert(!std::is_copy_constructible<EntityParameters>::value, "an entity owns its attachments");
    struct Counted : ObjectParameters
    {
        explicit Counted(int& deletions) : deletions(deletions) {}
        ~Counted() override { ++deletions; }
        int& deletions;
    };
    int deletions = 0;
    EntityParameters* entity = new EntityParameters;
    entity->boneAttachments.resize(3);
    entity->boneAttachments[0].object.reset(new Counted(deletions));
    entity->boneAttachments[2].object.reset(new Counted(deletions));
    delete static_cast<ObjectParameters*>(entity);
    EXPECT_EQ(2, deletions);
}

TEST(ExtraData, ACopyHasNoOwnerAndSharesTheNoteTracks)
{
    ObjectExtraData original;
    original.node = reinterpret_cast<SceneNode*>(&original);
    original.object = reinterpret_cast<MovableObject*>(&original);
    original.id = "id";
    original.userData = "text";
    original.receiveShadows = true;
    original.noteTracks = std::make_shared<NoteTracks>(1);
    ObjectExtraData copy(original), assigned;
    assigned = original;
    for (const ObjectExtraData* made : {&copy, &assigned})
    {
        EXPECT_EQ((std::pair<SceneNode*, MovableObject*>()), std::make_pair(made->node, made->object));
        EXPECT_EQ(std::make_tuple(String("id"), String("text"), true),
                  std::make_tuple(made->id, made->userData, made->receiveShadows));
        EXPECT_EQ(original.noteTracks.get(), made->noteTracks.get());
    }
}

using Owners = EngineTest;

TEST_F(Owners, TheNodeComesBeforeTheBoneAndNeitherLeavesTheObjectLoose)
{
    SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode();
    Entity* walker = sceneManager->createEntity("Walker", "Walker.mesh");
    node->attachObject(walker);
    Tarnel::MovableObjectOwner owner(walker, "Head", Vector3(1, 0, 0), Quaternion::IDENTITY, Vector3::UNIT_SCALE);
    owner.node = node;
    Light* light = sceneManager->createLight("OnNode");
    owner.Attach(light);
    EXPECT_EQ(node, light->getParentSceneNode());
    EXPECT_TRUE(walker->getAttachedObjects().empty());

    Light* loose = sceneManager->createLight("Loose");
    Tarnel::MovableObjectOwner().Attach(loose);
    EXPECT_FALSE(loose->isAttached());

    // An empty tag point needs a skeleton.
    Entity* box = sceneManager->createEntity("Box", "TwoPart.mesh");
    EXPECT_ENGINE_ERROR(
        Tarnel::MovableObjectOwner(box, "Root", Vector3::ZERO, Quaternion::IDENTITY, Vector3::UNIT_SCALE).AttachEmpty(),
        InvalidParametersException, "This entity's mesh has no skeleton to attach a tag point to: Box",
        "MovableObjectOwner::AttachEmpty", "Tarnel/MovableObjectOwner");
}

namespace
{
    struct Named
    {
        std::string name;
        int value;
    };
    struct NameOfNamed
    {
        const std::string& operator()(const Named* named) const { return named->name; }
    };
    struct WeakHash // every key in one of two slots: collisions and wrap-around are the ordinary case
    {
        size_t operator()(std::string_view key) const { return key.size() % 2; }
    };
}

TEST(Index, FindsEachEntryByItsKeyAndKeepsTheFirstOfAKey)
{
    std::vector<Named> entries;
    for (int i = 0; i < 100; ++i)
        entries.push_back({"n" + std::to_string(i), i});
    entries.push_back({"n7", -1});
    Tarnel::Index<const Named*, NameOfNamed, WeakHash> index;
    index.Reserve(10); // grows past it
    for (const Named& entry : entries)
        EXPECT_EQ(index.Insert(&entry).second, entry.value >= 0) << entry.name;
    EXPECT_EQ(100u, index.Size());
    for (int i = 0; i < 100; ++i)
    {
        const Named* const* found = index.Find(std::string("n") + std::to_string(i));
        ASSERT_TRUE(found);
        EXPECT_EQ(i, (*found)->value);
    }
    EXPECT_EQ(nullptr, index.Find(std::string("n100")));
    index.Clear();
    EXPECT_EQ(nullptr, index.Find(std::string("n1")));
    EXPECT_EQ(0u, index.Size());
}
