#include "support/SceneTest.h"
#include "support/Xml.h"

#include "Tarnel/Read/TarnelObjects.h"

#include <OgreLight.h>
#include <OgreMeshManager.h>

#include <filesystem>

using namespace Ogre;

class Models : public SceneTest
{
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        WriteFile("ship.model", "<model name='Root'><position x='9'/><entity name='Gun' meshFile='TwoPart.mesh'/>"
                                "<node name='Hull' modelFile='turret.model'><position x='1'/>"
                                "<entity name='Plate' meshFile='TwoPart.mesh'/></node><light name='Lamp'/></model>");
        WriteFile("turret.model", "<anything><position x='50'/><entity name='Barrel' meshFile='TwoPart.mesh'/>"
                                  "<node name='Top'/></anything>");
    }
    SceneNode* ParentOf(const String& object) { return sceneManager->getEntity(object)->getParentSceneNode(); }
};

TEST_F(Models, InstancesNameEverythingAfterTheirNode)
{
    LoadNodes("<node name='Ship' modelFile='ship.model'><position x='3'/></node>"
              "<modelInstance name='Boat' modelName='ship.model'/>");
    // The instance hangs on an unnamed child of the node, without the root record's transform.
    SceneNode* ship = scene.GetSceneNode("Ship");
    SceneNode* instance = ParentOf("ShipGun");
    EXPECT_EQ(ship, instance->getParent());
    EXPECT_EQ(std::make_pair(Vector3::ZERO, Vector3(3, 0, 0)), std::make_pair(instance->getPosition(), ship->getPosition()));
    EXPECT_FALSE(sceneManager->getLight("ShipLamp")->getCastShadows()) << "a model's light casts no shadows by default";
    // Children keep the base name; a nested model takes its node's full name and leaves its transform.
    SceneNode* hull = ParentOf("ShipPlate");
    EXPECT_EQ("ShipHull", hull->getName());
    EXPECT_EQ(instance, hull->getParent());
    EXPECT_EQ(hull, ParentOf("ShipHullBarrel"));
    EXPECT_EQ(Vector3(1, 0, 0), hull->getPosition());
    EXPECT_EQ("ShipHullTop", hull->getChild(0)->getName());
    EXPECT_TRUE(sceneManager->hasEntity("BoatGun"));

    // The file was read once: the cache serves a later level without it.
    std::filesystem::remove(directory + "/ship.model");
    LoadFile(WriteFile("second.scene", NodesScene("<node name='Raft' modelFile='ship.model'/>")));
    EXPECT_TRUE(sceneManager->hasEntity("RaftGun"));
}

TEST_F(Models, AModelThatFailsIsNotKept)
{
    // Its next mention fails the same way.
    WriteFile("bad.model", "<model><light type='Area'/></model>");
    for (const std::string level : {"first", "second"})
        EXPECT_UTILITIES_ERROR(LoadFile(WriteFile(level + ".scene", NodesScene("<node name='" + level + "' "
                                                                               "modelFile='bad.model'/>"))),
                               InvalidParametersException, "Invalid light type specified: Area",
                               "TarnelUtilities::ParseLightType");
}

TEST_F(Models, WindowsSeparatorsInModelFileNames)
{
    WriteFile("content/models/crate.model", "<model><entity name='Box' meshFile='TwoPart.mesh'/></model>");
    LoadNodes("<node name='Stack' modelFile='models\\crate.model'/>",
              "<resourceLocations><resourceLocation name='content' type='FileSystem' recursive='true'/>"
              "</resourceLocations>");
    EXPECT_TRUE(sceneManager->hasEntity("StackBox"));
}

TEST_F(Models, AnAnimationWhoseNameIsTakenIsSkipped)
{
    WriteFile("wheel.model", "<model><node name='Wheel'><position x='2'/><animations>"
                             "<animation name='Spin' length='1'><keyframe time='0'/></animation>"
                             "<animation name='Roll' length='1'/></animations></node></model>");
    sceneManager->createAnimation("CartSpin", 5);
    LoadNodes("<node name='Cart' modelFile='wheel.model'/>");
    EXPECT_FALSE(sceneManager->hasAnimationState("CartSpin"));
    EXPECT_EQ(5, sceneManager->getAnimation("CartSpin")->getLength());
    EXPECT_TRUE(sceneManager->hasAnimationState("CartRoll"));
    SceneNode* wheel = scene.GetSceneNode("CartWheel");
    EXPECT_EQ(std::make_pair(Vector3::ZERO, Vector3(2, 0, 0)), std::make_pair(wheel->getInitialPosition(), wheel->getPosition()));
}

TEST_F(Models, TwoObjectsOfOneNameAreRefusedWhateverTheirKinds)
{
    // Unnamed, both take the instance's name; the engine would keep both and fail to destroy them.
    WriteFile("lit.model", "<model><entity meshFile='TwoPart.mesh'/><light/></model>");
    EXPECT_ENGINE_ERROR(LoadNodes("<node name='Post' modelFile='lit.model'/>"), ItemIdentityException,
                        "Duplicate object name: Post", "TarnelModel::CreateMovableObject", "Tarnel/TarnelModel");
}

TEST_F(Models, TwoNodesOfOneNameAreRefusedAsInAScene)
{
    WriteFile("twins.model", "<model><node name='A'/><node name='A'/></model>");
    WriteFile("single.model", "<model><node name='A'/><node/></model>");
    for (const std::string nodes : {"<node name='Post' modelFile='twins.model'/>",
                                    "<node name='PostA'/><node name='Post' modelFile='single.model'/>"})
        EXPECT_ENGINE_ERROR(LoadFresh(NodesScene(nodes)), ItemIdentityException,
                            "A scene node with the name PostA already exists", "TarnelModel::CreateNode",
                            "Tarnel/TarnelModel");
    // An unnamed node takes the instance's name, as it always has.
    LoadFresh(NodesScene("<node name='Post' modelFile='single.model'/>"));
    EXPECT_EQ("PostA", scene.GetSceneNode("PostA")->getName());
}

TEST_F(Models, AnInstancesPlaneMeshGoesWithTheScene)
{
    WriteFile("floor.model", "<model><plane name='Floor' width='2' height='2'><normal y='1'/></plane></model>");
    // A second load of the level in one run met the first load's mesh.
    for (int load = 0; load < 2; ++load)
    {
        scene.Destroy();
        EXPECT_FALSE(MeshManager::getSingleton().resourceExists("RoomFloor", TestEngine::RESOURCE_GROUP)) << load;
        LoadFresh(NodesScene("<node name='Room' modelFile='floor.model'/>"));
        EXPECT_TRUE(sceneManager->hasEntity("RoomFloor"));
    }
}

TEST(ObjectRules, ScenesAndModelsReadOneElementDifferentlyOnlyWhereTheRulesSay)
{
    using namespace Tarnel::Types;
    using Tarnel::Objects::Rules;
    auto read = [](const char* text, const Rules& rules) { return Tarnel::Objects::ReadObject(XmlElement(text), rules); };
    auto light = [&](const Rules& rules) {
        auto object = read("<light type='spot'><lightRange falloff='2'/></light>", rules);
        const auto& light = static_cast<const LightParameters&>(*object);
        return std::make_tuple(light.castShadows, int(std::lround(Degree(light.spotlightInnerAngle).valueDegrees())),
                               int(std::lround(Degree(light.spotlightOuterAngle).valueDegrees())), light.direction);
    };
    // A scene's light keeps the engine's cone and direction; a model's has the format's own.
    EXPECT_EQ(std::make_tuple(true, 30, 40, Vector3::NEGATIVE_UNIT_Z), light(Rules::SCENE));
    EXPECT_EQ(std::make_tuple(false, 40, 30, Vector3::UNIT_Z), light(Rules::MODEL));

    // A model's camera looks along its normal, given or not, whatever stands after it.
    const char* camera = "<camera><normal x='1'/><rotation qx='0' qy='1' qz='0' qw='0'/><lookTarget nodeName='N'/></camera>";
    auto scene = read(camera, Rules::SCENE), model = read(camera, Rules::MODEL);
    EXPECT_EQ(CameraParameters::AIM_ORIENTATION, static_cast<const CameraParameters&>(*scene).aim);
    EXPECT_EQ(CameraParameters::AIM_DIRECTION, static_cast<const CameraParameters&>(*model).aim);
    EXPECT_EQ(std::make_pair(size_t(1), size_t(0)), std::make_pair(static_cast<const CameraParameters&>(*scene).lookTargets.size(),
                                                                    static_cast<const CameraParameters&>(*model).lookTargets.size()));
    EXPECT_EQ(CameraParameters::AIM_NONE, static_cast<const CameraParameters&>(*read("<camera/>", Rules::SCENE)).aim);

    // Which kinds read receiveShadows, and its default.
    const struct
    {
        const char* element;
        bool scene, model;
    } rows[] = {
        {"<entity/>", true, false},
        {"<plane><normal y='1'/></plane>", true, false},
        {"<particleSystem receiveShadows='true'/>", false, true},
        {"<billboardSet receiveShadows='true'/>", false, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(std::make_pair(row.scene, row.model),
                  std::make_pair(read(row.element, Rules::SCENE)->extraData->receiveShadows,
                                 read(row.element, Rules::MODEL)->extraData->receiveShadows))
            << row.element;
    EXPECT_EQ(nullptr, read("<node/>", Rules::SCENE));
}
