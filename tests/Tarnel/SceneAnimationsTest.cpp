#include "support/SceneTest.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSceneNode.h>

using namespace Ogre;

class NodeAnimations : public SceneTest
{
};

TEST_F(NodeAnimations, SharedByNameWithOneState)
{
    LoadText(NodesScene(
        "<node name='First'><position x='5'/><animations>"
        "  <animation name='Walk' length='2' loop='false' interpolationMode='linear'>"
        "    <keyframe time='0'><translation x='1'/></keyframe><keyframe time='1'><scale x='2'/></keyframe>"
        "  </animation></animations><position x='7'/></node>"
        "<node name='Second'><animations><animation name='Walk' length='9' enable='false' loop='true'/>"
        "  <unknown/></animations></node>"));

    Animation* walk = sceneManager->getAnimation("Walk");
    EXPECT_EQ(2, walk->getLength()) << "the first element makes the animation";
    EXPECT_EQ(Animation::IM_LINEAR, walk->getInterpolationMode());
    ASSERT_EQ(2u, walk->getNumNodeTracks());
    EXPECT_EQ(scene.GetSceneNode("First"), walk->getNodeTrack(1)->getAssociatedNode());
    EXPECT_EQ(scene.GetSceneNode("Second"), walk->getNodeTrack(2)->getAssociatedNode());
    EXPECT_EQ(0u, walk->getNodeTrack(2)->getNumKeyFrames());

    NodeAnimationTrack* track = walk->getNodeTrack(1);
    ASSERT_EQ(2u, track->getNumKeyFrames());
    EXPECT_EQ(Vector3(1, 0, 0), track->getNodeKeyFrame(0)->getTranslate());
    EXPECT_EQ(Vector3(2, 0, 0), track->getNodeKeyFrame(1)->getScale()) << "a missing y and z scale by 0";

    AnimationState* state = scene.GetAnimationState("Walk");
    ASSERT_NE(nullptr, state);
    EXPECT_TRUE(state->getEnabled()) << "the second element's enable has no effect";
    EXPECT_FALSE(state->getLoop());

    // Key frames act from the identity; a transform after the animations only moves the node.
    SceneNode* first = scene.GetSceneNode("First");
    EXPECT_EQ(Vector3::ZERO, first->getInitialPosition());
    EXPECT_EQ(Vector3(7, 0, 0), first->getPosition());
}
