#include "Tarnel/TarnelUtilities.h"
#include "support/Engine.h"
#include "support/Xml.h"

#include <OgreEntity.h>
#include <OgreMath.h>
#include <OgrePCZSceneManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

using namespace Ogre;
using Tarnel::TarnelUtilities;

namespace
{
    ::testing::AssertionResult SameRotation(const Quaternion& expected, const Quaternion& actual)
    {
        if (expected.equals(actual, Degree(0.1f)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
    }
}

TEST(AttributeReaders, EmptyReadsAsMissing)
{
    XmlElement e("<e s='' r='' i='' u='' b='' visible='' visibility='' pixelFormat='' textureType=''/>");
    EXPECT_EQ("fallback", TarnelUtilities::GetStringAttribute(e, "s", "fallback"));
    EXPECT_EQ("", TarnelUtilities::GetStringAttribute(e, "s"));
    EXPECT_EQ(2.5f, TarnelUtilities::GetRealAttribute(e, "r", 2.5f));
    EXPECT_EQ(-3, TarnelUtilities::GetIntAttribute(e, "i", -3));
    EXPECT_EQ(7u, TarnelUtilities::GetUIntAttribute(e, "u", 7));
    EXPECT_TRUE(TarnelUtilities::GetBoolAttribute(e, "b", true));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::GetVisibleAttribute(e));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::GetObjectVisibilityAttribute(e));
    EXPECT_EQ(PF_R8G8B8, TarnelUtilities::GetPixelFormatAttribute(e, PF_R8G8B8));
    EXPECT_EQ(TEX_TYPE_CUBE_MAP, TarnelUtilities::GetTextureTypeAttribute(e, TEX_TYPE_CUBE_MAP));
}

TEST(AttributeReaders, PresentValuesAreConverted)
{
    XmlElement e("<e s=' a b ' r='1.5' i='-12' u='40' b='No' visible='false' visibility='TreeHidden' "
                 "pixelFormat='PF_L8' textureType='3D' planeY='1' planeD='-2'/>");
    EXPECT_EQ(" a b ", TarnelUtilities::GetStringAttribute(e, "s", "x"));
    EXPECT_EQ(1.5f, TarnelUtilities::GetRealAttribute(e, "r", 0));
    EXPECT_EQ(-12, TarnelUtilities::GetIntAttribute(e, "i", 0));
    EXPECT_EQ(40u, TarnelUtilities::GetUIntAttribute(e, "u", 0));
    EXPECT_TRUE(TarnelUtilities::GetBoolAttribute(e, "b", false));
    EXPECT_EQ(Tarnel::OBJECT_HIDDEN, TarnelUtilities::GetVisibleAttribute(e));
    EXPECT_EQ(Tarnel::OBJECT_TREE_HIDDEN, TarnelUtilities::GetObjectVisibilityAttribute(e));
    EXPECT_EQ(PF_L8, TarnelUtilities::GetPixelFormatAttribute(e, PF_R8G8B8));
    EXPECT_EQ(TEX_TYPE_3D, TarnelUtilities::GetTextureTypeAttribute(e, TEX_TYPE_2D));

    Plane plane = TarnelUtilities::GetPlaneAttributes(e, Plane(Vector3(4, 5, 6), 7));
    EXPECT_EQ(Vector3(4, 1, 6), plane.normal);
    EXPECT_EQ(-2, plane.d);

    XmlElement visible("<e visible='yes'/>");
    EXPECT_EQ(Tarnel::OBJECT_VISIBLE, TarnelUtilities::GetVisibleAttribute(visible));
}

TEST(AttributeReaders, NumbersAreDecimal)
{
    XmlElement e("<e leadingZero='090' octalLooking='010' hex='0x10' trailing='12px' spaced=' 7' negative='-3'/>");
    EXPECT_EQ(90, TarnelUtilities::GetIntAttribute(e, "leadingZero", -1));
    EXPECT_EQ(10u, TarnelUtilities::GetUIntAttribute(e, "octalLooking", 0));
    EXPECT_EQ(0, TarnelUtilities::GetIntAttribute(e, "hex", -1));
    EXPECT_EQ(0, TarnelUtilities::GetRealAttribute(e, "hex", -1));
    EXPECT_EQ(12, TarnelUtilities::GetIntAttribute(e, "trailing", -1));
    EXPECT_EQ(7, TarnelUtilities::GetIntAttribute(e, "spaced", -1));
    EXPECT_EQ(-3, TarnelUtilities::GetIntAttribute(e, "negative", 0));
    EXPECT_EQ(90.0f, TarnelUtilities::GetRealAttribute(e, "leadingZero", -1));
}

TEST(AttributeReaders, BadKeywordsInTypedAttributesRaise)
{
    XmlElement e("<e pixelFormat='pf_l8' textureType='2'/>");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::GetPixelFormatAttribute(e, PF_L8), InvalidParametersException,
                           "Invalid pixel format specified: pf_l8",
                           "TarnelUtilities::ParsePixelFormat");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::GetTextureTypeAttribute(e, TEX_TYPE_2D), InvalidParametersException,
                           "Invalid texture type specified: 2",
                           "TarnelUtilities::ParseTextureType");
}

TEST(ParseBool, OnlyFalseIsCaseBlind)
{
    for (const char* text : {"", "false", "FALSE", "False", "no", "0"})
        EXPECT_FALSE(TarnelUtilities::ParseBool(text)) << '"' << text << '"';
    for (const char* text : {"No", "NO", "true", "yes", "1", "2", "off", " false", "00"})
        EXPECT_TRUE(TarnelUtilities::ParseBool(text)) << '"' << text << '"';
}

TEST(ElementForms, DefaultsForMissingComponents)
{
    XmlElement e("<e x='1' z='3' r='0.5' d='' left='1' bottom='4' near='0.1'/>");
    EXPECT_EQ(Vector3(1, 0, 3), TarnelUtilities::LoadXYZ(e));
    EXPECT_EQ(ColourValue(0.5f, 0, 0, 1), TarnelUtilities::LoadColor(e));
    Plane plane = TarnelUtilities::LoadPlane(e);
    EXPECT_EQ(Vector3(1, 0, 3), plane.normal);
    EXPECT_EQ(0, plane.d);

    Tarnel::FloatRectangle rectangle = TarnelUtilities::LoadFloatRectangle(e);
    EXPECT_EQ(1, rectangle.left);
    EXPECT_EQ(0, rectangle.top);
    EXPECT_EQ(0, rectangle.right);
    EXPECT_EQ(4, rectangle.bottom);

    Real nearClip = 0, farClip = 0;
    TarnelUtilities::LoadClipping(e, nearClip, farClip);
    EXPECT_FLOAT_EQ(0.1f, nearClip);
    EXPECT_EQ(10000, farClip);
    XmlElement none("<e/>");
    TarnelUtilities::LoadClipping(none, nearClip, farClip);
    EXPECT_EQ(1, nearClip);
}

TEST(ElementForms, BufferUsage)
{
    HardwareBuffer::Usage usage = HardwareBuffer::HBU_DYNAMIC;
    bool shadowed = false;
    TarnelUtilities::LoadBufferUsage(XmlElement("<e usage='' useShadow=''/>"), usage, shadowed);
    EXPECT_EQ(HardwareBuffer::HBU_STATIC_WRITE_ONLY, usage);
    EXPECT_TRUE(shadowed);
    TarnelUtilities::LoadBufferUsage(XmlElement("<e usage='DynamicWriteOnly' useShadow='false'/>"), usage,
                                     shadowed);
    EXPECT_EQ(HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY, usage);
    EXPECT_FALSE(shadowed);
    EXPECT_UTILITIES_ERROR(TarnelUtilities::LoadBufferUsage(XmlElement("<e usage='fast'/>"), usage, shadowed),
                           InvalidParametersException, "Invalid hardware buffer usage specified: fast",
                           "TarnelUtilities::ParseHardwareBufferUsage");
}

TEST(LoadRotation, MarkerPrecedence)
{
    // The quaternion marker wins even when it is empty; a missing w reads as 0.
    XmlElement quaternion("<r qx='' qy='1' qz='0' angleX='1.5' axisX='1' angle='2'/>");
    Quaternion q = TarnelUtilities::LoadRotation(quaternion);
    EXPECT_EQ(Quaternion(0, 0, 1, 0), q);

    XmlElement full("<r qw='0.5' qx='0.5' qy='0.5' qz='0.5' angleX='1'/>");
    EXPECT_EQ(Quaternion(0.5f, 0.5f, 0.5f, 0.5f), TarnelUtilities::LoadRotation(full));

    // Angle and axis win over Euler angles; the axis is not normalised.
    XmlElement axis("<r axisX='0' axisY='2' axisZ='0' angle='1.5707964' angleX='3'/>");
    Quaternion expected;
    expected.FromAngleAxis(Radian(Math::HALF_PI), Vector3(0, 2, 0));
    EXPECT_EQ(expected, TarnelUtilities::LoadRotation(axis));

    XmlElement noMarker("<r qy='1' angle='1' axisY='1' angleY='1'/>");
    EXPECT_EQ(Quaternion::IDENTITY, TarnelUtilities::LoadRotation(noMarker));
}

TEST(LoadRotation, EulerOrderTable)
{
    const Radian x(0.3f), y(-0.7f), z(1.1f);
    auto composed = [&](void (Matrix3::*compose)(const Radian&, const Radian&, const Radian&)) {
        Matrix3 matrix;
        (matrix.*compose)(x, y, z);
        return Quaternion(matrix);
    };
    const std::pair<const char*, void (Matrix3::*)(const Radian&, const Radian&, const Radian&)> table[] = {
        {"", &Matrix3::FromEulerAnglesXYZ},    {"x", &Matrix3::FromEulerAnglesXYZ},
        {"xyz", &Matrix3::FromEulerAnglesXYZ}, {"xyq", &Matrix3::FromEulerAnglesXYZ},
        {"xzy", &Matrix3::FromEulerAnglesXZY}, {"xx", &Matrix3::FromEulerAnglesXZY},
        {"yxz", &Matrix3::FromEulerAnglesYXZ}, {"yzx", &Matrix3::FromEulerAnglesYZX},
        {"yy", &Matrix3::FromEulerAnglesYZX},  {"zxy", &Matrix3::FromEulerAnglesZXY},
        {"qx", &Matrix3::FromEulerAnglesZXY},  {"zyx", &Matrix3::FromEulerAnglesZYX},
        {"XYZ", &Matrix3::FromEulerAnglesZYX}, {"Yx", &Matrix3::FromEulerAnglesZXY},
    };
    for (const auto& row : table)
    {
        XmlElement e(String("<r angleX='0.3' angleY='-0.7' angleZ='1.1' order='") + row.first + "'/>");
        EXPECT_TRUE(SameRotation(composed(row.second), TarnelUtilities::LoadRotation(e))) << row.first;
    }

    XmlElement zero("<r angleX='' order='zyx'/>");
    EXPECT_TRUE(SameRotation(Quaternion::IDENTITY, TarnelUtilities::LoadRotation(zero)));

    XmlElement quarterTurn("<r angleX='1.5707964'/>");
    Quaternion aboutX;
    aboutX.FromAngleAxis(Radian(Math::HALF_PI), Vector3::UNIT_X);
    EXPECT_TRUE(SameRotation(aboutX, TarnelUtilities::LoadRotation(quarterTurn)));
}

TEST(BoundingVolume, ReadsTypeSizeAndFaces)
{
    XmlElement e("<boundingVolume type='Mesh' radius='2.5' faceCount='3'>"
                 "  <size x='1' y='2' z='3'/>"
                 "  <faces>"
                 "    <face><vertex x='1'/><vertex y='2'/><vertex z='3'/><vertex x='9'/></face>"
                 "    <anything><v x='4'/></anything>"
                 "  </faces>"
                 "  <other/>"
                 "</boundingVolume>");
    Tarnel::BoundingVolume volume;
    TarnelUtilities::LoadBoundingVolume(e, volume);
    EXPECT_EQ(Tarnel::BoundingVolume::MESH, volume.type);
    EXPECT_EQ(2.5f, volume.sphereRadius);
    EXPECT_EQ(Vector3(1, 2, 3), volume.boxSize);
    ASSERT_EQ(3u, volume.meshFaces.size());
    EXPECT_EQ(Vector3(1, 0, 0), volume.meshFaces[0][0]);
    EXPECT_EQ(Vector3(0, 2, 0), volume.meshFaces[0][1]);
    EXPECT_EQ(Vector3(0, 0, 3), volume.meshFaces[0][2]);
    EXPECT_EQ(Vector3(4, 0, 0), volume.meshFaces[1][0]);
    EXPECT_EQ(Vector3::ZERO, volume.meshFaces[1][1]);
    EXPECT_EQ(Vector3::ZERO, volume.meshFaces[2][0]);
}

TEST(BoundingVolume, FaceCountLimitsTheFacesRead)
{
    XmlElement e("<b type='box'><faces><f><v x='1'/></f><f><v x='2'/></f></faces></b>");
    Tarnel::BoundingVolume volume;
    volume.boxSize = Vector3(5, 5, 5);
    TarnelUtilities::LoadBoundingVolume(e, volume);
    EXPECT_EQ(Tarnel::BoundingVolume::BOX, volume.type);
    EXPECT_TRUE(volume.meshFaces.empty());
    EXPECT_EQ(Vector3(5, 5, 5), volume.boxSize) << "kept when there is no size child";

    EXPECT_UTILITIES_ERROR(TarnelUtilities::LoadBoundingVolume(XmlElement("<b radius='1'/>"), volume),
                           InvalidParametersException, "Invalid bounding volume type specified: ",
                           "TarnelUtilities::ParseBoundingVolumeType");
}

TEST(CompositeReaders, CustomParametersSkipOtherChildren)
{
    XmlElement e("<customParameters>"
                 "  <customParameter id='3' x='1' y='2' z='3' w='4'/>"
                 "  <comment/>"
                 "  <customParameter id='-1' w='9'/>"
                 "</customParameters>");
    Tarnel::CustomParameters parameters;
    TarnelUtilities::LoadCustomParameters(e, parameters);
    ASSERT_EQ(2u, parameters.size());
    EXPECT_EQ(3, parameters[0].id);
    EXPECT_EQ(Vector4(1, 2, 3, 4), parameters[0].value);
    EXPECT_EQ(-1, parameters[1].id);
    EXPECT_EQ(Vector4(0, 0, 0, 9), parameters[1].value);
}

TEST(CompositeReaders, SubentitiesArePlacedByIndex)
{
    XmlElement e("<subentities>"
                 "  <subentity index='2' materialName='C'/>"
                 "  <subentity materialName='A'/>"
                 "  <subentity index='1'/>"
                 "  <subentity index='7' materialName='Outside'/>"
                 "  <subentity index='-1' materialName='Negative'/>"
                 "</subentities>");
    Tarnel::SubentityMaterials names;
    TarnelUtilities::LoadSubentities(e, names);
    EXPECT_EQ((Tarnel::SubentityMaterials{"A", "", "C", "", ""}), names);
}

TEST(CompositeReaders, NoteTracksAndNotes)
{
    XmlElement e("<noteTracks>"
                 "  <noteTrack name='steps'>"
                 "    <note time='0.5'>left</note><other/><note time='1'/><note>right<b/>more</note>"
                 "  </noteTrack>"
                 "  <ignored/>"
                 "  <noteTrack/>"
                 "</noteTracks>");
    Tarnel::Types::NoteTracks tracks;
    TarnelUtilities::LoadNoteTracks(e, tracks);
    ASSERT_EQ(2u, tracks.size());
    EXPECT_EQ("steps", tracks[0].name);
    ASSERT_EQ(3u, tracks[0].notes.size());
    EXPECT_EQ(0.5f, tracks[0].notes[0].time);
    EXPECT_EQ("left", tracks[0].notes[0].text);
    EXPECT_EQ("", tracks[0].notes[1].text);
    EXPECT_EQ(0, tracks[0].notes[2].time);
    EXPECT_EQ("right", tracks[0].notes[2].text);
    EXPECT_EQ("", tracks[1].name);
    EXPECT_TRUE(tracks[1].notes.empty());
}

TEST(CompositeReaders, UserDataAndText)
{
    String reference = "old";
    TarnelUtilities::LoadUserDataReference(XmlElement("<userDataReference/>"), reference);
    EXPECT_EQ("", reference);
    TarnelUtilities::LoadUserDataReference(XmlElement("<userDataReference id='ref7'/>"), reference);
    EXPECT_EQ("ref7", reference);

    String text = "kept";
    TarnelUtilities::GetElementText(XmlElement("<userData><child/></userData>"), text);
    EXPECT_EQ("kept", text);
    TarnelUtilities::GetElementText(XmlElement("<userData><!-- c --><child/>free &amp; text</userData>"), text);
    EXPECT_EQ("free & text", text);
}

TEST(Counting, SubtreeAndChildren)
{
    XmlElement e("<subentity><subentity/><a><subentity><subentity/></subentity></a><b/></subentity>");
    EXPECT_EQ(4, TarnelUtilities::GetElementCount(e, "subentity"));
    EXPECT_EQ(1, TarnelUtilities::GetChildElementCount(e, "subentity"));
    EXPECT_EQ(0, TarnelUtilities::GetChildElementCount(e, "Subentity"));
    EXPECT_TRUE(TarnelUtilities::AllDigits(""));
    EXPECT_TRUE(TarnelUtilities::AllDigits("0123"));
    EXPECT_FALSE(TarnelUtilities::AllDigits("12a"));
    EXPECT_FALSE(TarnelUtilities::AllDigits(" 1"));
}

TEST(PreviousPowerOfTwo, BelowOrHalf)
{
    EXPECT_EQ(0u, TarnelUtilities::PreviousPowerOfTwo(0));
    EXPECT_EQ(0u, TarnelUtilities::PreviousPowerOfTwo(1));
    EXPECT_EQ(1u, TarnelUtilities::PreviousPowerOfTwo(2));
    EXPECT_EQ(2u, TarnelUtilities::PreviousPowerOfTwo(3));
    EXPECT_EQ(4u, TarnelUtilities::PreviousPowerOfTwo(5));
    EXPECT_EQ(512u, TarnelUtilities::PreviousPowerOfTwo(1000));
    EXPECT_EQ(512u, TarnelUtilities::PreviousPowerOfTwo(1024));
    EXPECT_EQ(0x80000000u, TarnelUtilities::PreviousPowerOfTwo(0xFFFFFFFFu));
}

class XmlDocuments : public EngineTest
{
};

TEST_F(XmlDocuments, ReadsThroughTheResourceGroup)
{
    TiXmlDocument document;
    TarnelUtilities::LoadXmlDocument("readable.xml", document, TestEngine::RESOURCE_GROUP);
    EXPECT_STREQ("from-group", document.RootElement()->Attribute("id"));

    // Another group than the one holding the file is searched too.
    TiXmlDocument other;
    TarnelUtilities::LoadXmlDocument("readable.xml", other, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    EXPECT_STREQ("scene", other.RootElement()->Value());
}

TEST_F(XmlDocuments, MissingAndUnparsableFiles)
{
    TiXmlDocument document;
    EXPECT_UTILITIES_ERROR(TarnelUtilities::LoadXmlDocument("absent.scene", document, TestEngine::RESOURCE_GROUP),
                           FileNotFoundException, "Could not open XML file: absent.scene",
                           "TarnelUtilities::LoadXmlDocument");
    EXPECT_UTILITIES_ERROR(
        TarnelUtilities::LoadXmlDocument("unparsable.xml", document, TestEngine::RESOURCE_GROUP),
        InvalidStateException, "There was an error with the XML file: unparsable.xml",
        "TarnelUtilities::LoadXmlDocument");
}

class EngineObjects : public EngineTest
{
};

TEST_F(EngineObjects, NodeVisibilityAndCascade)
{
    SceneNode* parent = sceneManager->getRootSceneNode()->createChildSceneNode("Parent");
    SceneNode* child = parent->createChildSceneNode("Child");
    Entity* parentEntity = sceneManager->createEntity("ParentBox", "TwoPart.mesh");
    Entity* childEntity = sceneManager->createEntity("ChildBox", "TwoPart.mesh");
    parent->attachObject(parentEntity);
    child->attachObject(childEntity);

    TarnelUtilities::SetNodeVisibility(Tarnel::OBJECT_VISIBILITY_DEFAULT, parent);
    EXPECT_TRUE(parentEntity->getVisible());
    TarnelUtilities::SetNodeVisibility(Tarnel::OBJECT_HIDDEN, parent);
    EXPECT_FALSE(parentEntity->getVisible());
    EXPECT_TRUE(childEntity->getVisible());
    TarnelUtilities::SetNodeVisibility(Tarnel::OBJECT_TREE_HIDDEN, parent);
    EXPECT_FALSE(childEntity->getVisible());
    TarnelUtilities::SetNodeVisibility(Tarnel::OBJECT_VISIBLE, parent);
    EXPECT_TRUE(parentEntity->getVisible());
    EXPECT_FALSE(childEntity->getVisible());
    TarnelUtilities::SetNodeVisibility(Tarnel::OBJECT_TREE_VISIBLE, parent);
    EXPECT_TRUE(childEntity->getVisible());
}

TEST_F(EngineObjects, CustomParametersReachEverySubEntity)
{
    Entity* entity = sceneManager->createEntity("Box", "TwoPart.mesh");
    ASSERT_EQ(2u, entity->getNumSubEntities());
    Tarnel::CustomParameters parameters(2);
    parameters[0].id = 1;
    parameters[0].value = Vector4(1, 2, 3, 4);
    parameters[1].id = 1;
    parameters[1].value = Vector4(5, 6, 7, 8);
    TarnelUtilities::SetCustomParameters(entity, parameters);
    for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
    {
        SCOPED_TRACE(i);
        // Entries apply in list order, so the later one of an id wins.
        EXPECT_EQ(Vector4(5, 6, 7, 8), entity->getSubEntity(i)->getCustomParameter(1));
    }
}

TEST_F(EngineObjects, IdentityInitialStateKeepsTheTransform)
{
    SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode("Moved");
    Quaternion turn(Degree(30), Vector3::UNIT_Y);
    node->setPosition(1, 2, 3);
    node->setOrientation(turn);
    node->setScale(2, 2, 2);
    TarnelUtilities::SetIdentityInitialState(node);
    EXPECT_EQ(Vector3(1, 2, 3), node->getPosition());
    EXPECT_EQ(turn, node->getOrientation());
    EXPECT_EQ(Vector3(2, 2, 2), node->getScale());
    EXPECT_EQ(Vector3::ZERO, node->getInitialPosition());
    EXPECT_EQ(Quaternion::IDENTITY, node->getInitialOrientation());
    EXPECT_EQ(Vector3::UNIT_SCALE, node->getInitialScale());
}

TEST_F(EngineObjects, CreateEntitySetsMaterialsByIndex)
{
    Entity* entity = TarnelUtilities::CreateEntity(sceneManager, "Painted", "TwoPart.mesh",
                                                   {"Test/Blue", "Test/Blue", "Test/Red"});
    EXPECT_EQ("Painted", entity->getName());
    EXPECT_EQ("Test/Blue", entity->getSubEntity(0)->getMaterialName());
    EXPECT_EQ("Test/Blue", entity->getSubEntity(1)->getMaterialName());

    Entity* plain = TarnelUtilities::CreateEntity(sceneManager, "Plain", "TwoPart.mesh", {});
    EXPECT_EQ("Test/Red", plain->getSubEntity(0)->getMaterialName());
    EXPECT_EQ("Test/Green", plain->getSubEntity(1)->getMaterialName());

    EXPECT_THROW(TarnelUtilities::CreateEntity(sceneManager, "Plain", "TwoPart.mesh", {}), ItemIdentityException);
}
