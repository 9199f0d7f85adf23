#include "Tarnel/MovableObjectOwner.h"
#include "Tarnel/Types.h"
#include "support/Engine.h"
#include "support/Xml.h"

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgrePCZSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreTagPoint.h>

#include <type_traits>

using namespace Ogre;
using namespace Tarnel::Types;

namespace
{
    struct CountedParameters : ObjectParameters
    {
        explicit CountedParameters(int& deletions) : deletions(deletions) {}
        ~CountedParameters() override { ++deletions; }
        int& deletions;
    };
}

// The defaults a reader relies on when an attribute is absent, where they are not the obvious zero.
TEST(Records, DefaultsThatReadersRelyOn)
{
    EntityParameters entity;
    EXPECT_EQ(ENTITY, entity.objectType);
    EXPECT_EQ(50, entity.renderQueue);
    EXPECT_TRUE(entity.castShadows);
    EXPECT_EQ(HardwareBuffer::HBU_STATIC_WRITE_ONLY, entity.vertexBufferUsage);
    EXPECT_TRUE(entity.indexBufferShadowed);

    LightParameters light;
    EXPECT_EQ(LIGHT, light.objectType);
    EXPECT_FLOAT_EQ(0.6981317f, light.spotlightInnerAngle.valueRadians()) << "the inner default is the wider";
    EXPECT_FLOAT_EQ(0.5235988f, light.spotlightOuterAngle.valueRadians());
    EXPECT_EQ(100000.0f, light.attenuationRange);
    EXPECT_EQ(Vector3::UNIT_Z, light.direction);

    CameraParameters camera;
    EXPECT_EQ(CAMERA, camera.objectType);
    EXPECT_FLOAT_EQ(Math::HALF_PI, camera.fovy.valueRadians());
    EXPECT_EQ(1.33f, camera.aspectRatio);
    EXPECT_EQ(100.0f, camera.nearClip);
    EXPECT_EQ(Vector3::NEGATIVE_UNIT_Z, camera.direction);

    BillboardSetParameters billboards;
    EXPECT_EQ(BILLBOARD_SET, billboards.objectType);
    EXPECT_EQ(BBO_CENTER, billboards.billboardOrigin);
    EXPECT_EQ(BBR_TEXCOORD, billboards.billboardRotationType);
    EXPECT_EQ(ColourValue::White, Tarnel::Types::Billboard().color);

    PlaneParameters plane;
    EXPECT_EQ(PLANE, plane.objectType);
    EXPECT_EQ(Vector3::UNIT_Z, plane.upVector);
    EXPECT_EQ(PARTICLE_SYSTEM, ParticleSystemParameters().objectType);

    NodeAnimationParameters animation;
    EXPECT_EQ(Animation::IM_SPLINE, animation.interpolationMode);
    EXPECT_EQ(Vector3::UNIT_SCALE, KeyFrameParameters().scale);
}

TEST(Records, BoneAttachmentsOwnTheirObjectsExclusively)
{
    static_assert(!std::is_copy_constructible<BoneAttachment>::value, "an attachment is never copied");
    static_assert(!std::is_copy_constructible<EntityParameters>::value, "an entity owns its attachments");

    int deletions = 0;
    ObjectParameters* entity = new EntityParameters;
    {
        EntityParameters& description = static_cast<EntityParameters&>(*entity);
        description.boneAttachments.resize(3);
        description.boneAttachments[0].object.reset(new CountedParameters(deletions));
        description.boneAttachments[2].object.reset(new CountedParameters(deletions));
        EXPECT_EQ(Vector3::UNIT_SCALE, description.boneAttachments[1].attachScale);
        EXPECT_EQ(Quaternion::IDENTITY, description.boneAttachments[1].attachRotation);
    }
    delete entity;
    EXPECT_EQ(2, deletions);
}

TEST(ExtraData, CopyDropsTheOwnerAndSharesNoteTracks)
{
    ObjectExtraData original;
    original.node = reinterpret_cast<SceneNode*>(&original);
    original.object = reinterpret_cast<MovableObject*>(&original);
    original.id = "id";
    original.userDataReference = "ref";
    original.userData = "text";
    original.receiveShadows = true;
    original.noteTracks = std::make_shared<NoteTracks>(1);

    ObjectExtraData copy(original);
    EXPECT_EQ(nullptr, copy.node);
    EXPECT_EQ(nullptr, copy.object);
    EXPECT_EQ("id", copy.id);
    EXPECT_EQ("ref", copy.userDataReference);
    EXPECT_EQ("text", copy.userData);
    EXPECT_TRUE(copy.receiveShadows);
    EXPECT_EQ(original.noteTracks.get(), copy.noteTracks.get());

    ObjectExtraData assigned;
    assigned = original;
    EXPECT_EQ(nullptr, assigned.node);
    EXPECT_EQ(nullptr, assigned.object);
    EXPECT_EQ(3, original.noteTracks.use_count());
}

TEST(ExtraData, OnlyIdsAndUserDataCount)
{
    ObjectExtraData data;
    EXPECT_FALSE(data.HasUserData());
    data.receiveShadows = true;
    data.noteTracks = std::make_shared<NoteTracks>(2);
    EXPECT_FALSE(data.HasUserData());
    for (String ObjectExtraData::*field :
         {&ObjectExtraData::id, &ObjectExtraData::userDataReference, &ObjectExtraData::userData})
    {
        ObjectExtraData one;
        one.*field = "x";
        EXPECT_TRUE(one.HasUserData());
    }
}

class Owners : public EngineTest
{
protected:
    Entity* Walker()
    {
        Entity* walker = sceneManager->createEntity("Walker", "Walker.mesh");
        sceneManager->getRootSceneNode()->createChildSceneNode("WalkerNode")->attachObject(walker);
        return walker;
    }
};

TEST_F(Owners, NodeComesFirst)
{
    SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Holder");
    Entity* walker = Walker();
    Tarnel::MovableObjectOwner owner(walker, "Head", Vector3(1, 0, 0), Quaternion::IDENTITY, Vector3::UNIT_SCALE);
    owner.node = node;
    Light* light = sceneManager->createLight("OnNode");
    owner.Attach(light);
    EXPECT_EQ(node, light->getParentSceneNode());
    EXPECT_TRUE(walker->getAttachedObjects().empty());

    Light* loose = sceneManager->createLight("Loose");
    Tarnel::MovableObjectOwner().Attach(loose);
    EXPECT_FALSE(loose->isAttached());

    Tarnel::MovableObjectOwner nodeOwner(node);
    EXPECT_EQ(nullptr, nodeOwner.entity);
    EXPECT_TRUE(nodeOwner.boneName.empty());
    EXPECT_EQ(Vector3::UNIT_SCALE, nodeOwner.attachScale);
}

TEST_F(Owners, BoneAttachmentWithOffset)
{
    Entity* walker = Walker();
    Quaternion turn(Degree(90), Vector3::UNIT_Y);
    Tarnel::MovableObjectOwner owner(walker, "Head", Vector3(0, 0.5f, 0), turn, Vector3(2, 2, 2));
    Entity* hat = sceneManager->createEntity("Hat", "TwoPart.mesh");
    owner.Attach(hat);

    ASSERT_TRUE(hat->isAttached());
    TagPoint* tagPoint = static_cast<TagPoint*>(hat->getParentNode());
    EXPECT_EQ(walker->getSkeleton()->getBone("Head"), tagPoint->getParent());
    EXPECT_EQ(Vector3(0, 0.5f, 0), tagPoint->getPosition());
    EXPECT_TRUE(turn.equals(tagPoint->getOrientation(), Degree(0.1f))) << tagPoint->getOrientation();
    EXPECT_EQ(Vector3(2, 2, 2), tagPoint->getScale());

    Tarnel::MovableObjectOwner noBone(walker, "", Vector3::ZERO, Quaternion::IDENTITY, Vector3::UNIT_SCALE);
    Light* light = sceneManager->createLight("Unplaced");
    noBone.Attach(light);
    EXPECT_FALSE(light->isAttached());
}

TEST_F(Owners, EmptyTagPoint)
{
    Entity* walker = Walker();
    Bone* root = walker->getSkeleton()->getBone("Root");
    size_t before = root->numChildren();
    Tarnel::MovableObjectOwner(walker, "Root", Vector3(0, 0, 1), Quaternion::IDENTITY, Vector3(3, 3, 3))
        .AttachEmpty();
    ASSERT_EQ(before + 1, root->numChildren());
    Node* tagPoint = root->getChildren().back();
    EXPECT_EQ(Vector3(0, 0, 1), tagPoint->getPosition());
    EXPECT_EQ(Vector3(3, 3, 3), tagPoint->getScale());

    Tarnel::MovableObjectOwner(walker, "", Vector3::ZERO, Quaternion::IDENTITY, Vector3::UNIT_SCALE).AttachEmpty();
    EXPECT_EQ(before + 1, root->numChildren());

    Entity* box = sceneManager->createEntity("Box", "TwoPart.mesh");
    EXPECT_ENGINE_ERROR(
        Tarnel::MovableObjectOwner(box, "Root", Vector3::ZERO, Quaternion::IDENTITY, Vector3::UNIT_SCALE).AttachEmpty(),
        InvalidParametersException, "This entity's mesh has no skeleton to attach a tag point to: Box",
        "MovableObjectOwner::AttachEmpty", "Tarnel/MovableObjectOwner");
}
