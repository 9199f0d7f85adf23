#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Scene/TarnelSceneGraph.h"
#include "Tarnel/Scene/TarnelScene.h"
#include "support/Engine.h"
#include "support/Xml.h"

#include <OgreEntity.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubEntity.h>

#include <filesystem>

using namespace Ogre;
using namespace Tarnel;

TEST(AttributeReaders, EmptyReadsAsMissing)
{
    XmlElement e("<e s='' r='' i='' u='' b='' visible='' visibility='' pixelFormat='' textureType=''/>");
    EXPECT_EQ("fallback", TarnelUtilities::GetStringAttribute(e, "s", "fallback"));
    EXPECT_EQ(2.5f, TarnelUtilities::GetRealAttribute(e, "r", 2.5f));
    EXPECT_EQ(-3, TarnelUtilities::GetIntAttribute(e, "i", -3));
    EXPECT_EQ(7u, TarnelUtilities::GetUIntAttribute(e, "u", 7));
    EXPECT_TRUE(TarnelUtilities::GetBoolAttribute(e, "b", true));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::GetVisibleAttribute(e));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::GetObjectVisibilityAttribute(e));
    EXPECT_EQ(PF_R8G8B8, TarnelUtilities::GetPixelFormatAttribute(e, PF_R8G8B8));
    EXPECT_EQ(TEX_TYPE_CUBE_MAP, TarnelUtilities::GetTextureTypeAttribute(e, TEX_TYPE_CUBE_MAP));
}

TEST(AttributeReaders, PresentValues)
{
    XmlElement e("<e s=' a b ' r='1.5' u='40' b='No' visible='false' visibility='TreeHidden' pixelFormat='PF_L8' "
                 "textureType='3D' planeY='1' planeD='-2'/>");
    EXPECT_EQ(" a b ", TarnelUtilities::GetStringAttribute(e, "s", "x"));
    EXPECT_EQ(1.5f, TarnelUtilities::GetRealAttribute(e, "r", 0));
    EXPECT_EQ(40u, TarnelUtilities::GetUIntAttribute(e, "u", 0));
    EXPECT_TRUE(TarnelUtilities::GetBoolAttribute(e, "b", false));
    EXPECT_EQ(Tarnel::OBJECT_HIDDEN, TarnelUtilities::GetVisibleAttribute(e));
    EXPECT_EQ(Tarnel::OBJECT_VISIBLE, TarnelUtilities::GetVisibleAttribute(XmlElement("<e visible='yes'/>")));
    EXPECT_EQ(Tarnel::OBJECT_TREE_HIDDEN, TarnelUtilities::GetObjectVisibilityAttribute(e));
    EXPECT_EQ(PF_L8, TarnelUtilities::GetPixelFormatAttribute(e, PF_R8G8B8));
    EXPECT_EQ(TEX_TYPE_3D, TarnelUtilities::GetTextureTypeAttribute(e, TEX_TYPE_2D));
    // A plane keeps the components its attributes leave out.
    EXPECT_EQ(Plane(4, 1, 6, -2), TarnelUtilities::GetPlaneAttributes(e, Plane(Vector3(4, 5, 6), 7)));
    // Keywords are given to the parsers as written.
    XmlElement bad("<e pixelFormat='pf_l8' textureType='2'/>");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::GetPixelFormatAttribute(bad, PF_L8),
                           InvalidParametersException, "Invalid pixel format specified: pf_l8",
                           "TarnelUtilities::ParsePixelFormat");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::GetTextureTypeAttribute(bad, TEX_TYPE_2D),
                           InvalidParametersException, "Invalid texture type specified: 2",
                           "TarnelUtilities::ParseTextureType");
}

TEST(AttributeReaders, NumbersAreDecimal)
{
    // Read with the C library's automatic base, "090" was 0 and "010" was 8.
    XmlElement e("<e leadingZero='090' octalLooking='010' hex='0x10' trailing='12px' spaced=' 7' negative='-3'/>");
    EXPECT_EQ(90, TarnelUtilities::GetIntAttribute(e, "leadingZero", -1));
    EXPECT_EQ(90.0f, TarnelUtilities::GetRealAttribute(e, "leadingZero", -1));
    EXPECT_EQ(10u, TarnelUtilities::GetUIntAttribute(e, "octalLooking", 0));
    EXPECT_EQ(0, TarnelUtilities::GetIntAttribute(e, "hex", -1));
    EXPECT_EQ(0, TarnelUtilities::GetRealAttribute(e, "hex", -1));
    EXPECT_EQ(12, TarnelUtilities::GetIntAttribute(e, "trailing", -1));
    EXPECT_EQ(7, TarnelUtilities::GetIntAttribute(e, "spaced", -1));
    EXPECT_EQ(-3, TarnelUtilities::GetIntAttribute(e, "negative", 0));
}

TEST(ElementForms, DefaultsForMissingComponents)
{
    XmlElement e("<e x='1' z='3' r='0.5' d='' left='1' bottom='4' near='0.1'/>");
    EXPECT_EQ(Vector3(1, 0, 3), TarnelUtilities::LoadXYZ(e));
    EXPECT_EQ(ColourValue(0.5f, 0, 0, 1), TarnelUtilities::LoadColor(e));
    EXPECT_EQ(Plane(1, 0, 3, 0), TarnelUtilities::LoadPlane(e));
    Tarnel::FloatRectangle rectangle = TarnelUtilities::LoadFloatRectangle(e);
    EXPECT_EQ(Vector4(1, 0, 0, 4), Vector4(rectangle.left, rectangle.top, rectangle.right, rectangle.bottom));

    Real nearClip = 0, farClip = 0;
    TarnelUtilities::LoadClipping(e, nearClip, farClip);
    EXPECT_EQ(Vector2(0.1f, 10000), Vector2(nearClip, farClip));
    TarnelUtilities::LoadClipping(XmlElement("<e/>"), nearClip, farClip);
    EXPECT_EQ(1, nearClip);

    HardwareBuffer::Usage usage = HardwareBuffer::HBU_DYNAMIC;
    bool shadowed = false;
    TarnelUtilities::LoadBufferUsage(XmlElement("<e usage='' useShadow=''/>"), usage, shadowed);
    EXPECT_EQ(std::make_pair(HardwareBuffer::Usage(HardwareBuffer::HBU_STATIC_WRITE_ONLY), true),
              std::make_pair(usage, shadowed));
    TarnelUtilities::LoadBufferUsage(XmlElement("<e usage='DynamicWriteOnly' useShadow='false'/>"), usage, shadowed);
    EXPECT_EQ(std::make_pair(HardwareBuffer::Usage(HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY), false),
              std::make_pair(usage, shadowed));
}

TEST(LoadRotation, MarkerPrecedence)
{
    // The quaternion marker wins even when it is empty; a missing w reads as 0.
    EXPECT_EQ(Quaternion(0, 0, 1, 0), TarnelUtilities::LoadRotation(XmlElement("<r qx='' qy='1' qz='0' angleX='1.5' "
                                                                                "axisX='1' angle='2'/>")));
    EXPECT_EQ(Quaternion(0.5f, 0.5f, 0.5f, 0.5f),
              TarnelUtilities::LoadRotation(XmlElement("<r qw='0.5' qx='0.5' qy='0.5' qz='0.5' angleX='1'/>")));
    // Angle and axis win over Euler angles; the axis is not normalised.
    EXPECT_EQ(Quaternion(Radian(Math::HALF_PI), Vector3(0, 2, 0)),
              TarnelUtilities::LoadRotation(XmlElement("<r axisX='0' axisY='2' axisZ='0' angle='1.5707964' "
                                                       "angleX='3'/>")));
    EXPECT_EQ(Quaternion::IDENTITY, TarnelUtilities::LoadRotation(XmlElement("<r qy='1' angle='1' axisY='1' "
                                                                             "angleY='1'/>")));
}

TEST(LoadRotation, EulerOrderTable)
{
    // The first two letters choose, in lower case only; a first letter other than x or y counts as z.
    typedef void (Matrix3::*Compose)(const Radian&, const Radian&, const Radian&);
    const std::pair<const char*, Compose> table[] = {
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
        Matrix3 matrix;
        (matrix.*row.second)(Radian(0.3f), Radian(-0.7f), Radian(1.1f));
        XmlElement e(String("<r angleX='0.3' angleY='-0.7' angleZ='1.1' order='") + row.first + "'/>");
        EXPECT_TRUE(SameRotation(Quaternion(matrix), TarnelUtilities::LoadRotation(e))) << row.first;
    }
    EXPECT_TRUE(SameRotation(Quaternion::IDENTITY, TarnelUtilities::LoadRotation(XmlElement("<r angleX='' "
                                                                                            "order='zyx'/>"))));
    EXPECT_TRUE(SameRotation(Quaternion(Radian(Math::HALF_PI), Vector3::UNIT_X),
                             TarnelUtilities::LoadRotation(XmlElement("<r angleX='1.5707964'/>"))));
}

TEST(BoundingVolume, TypeSizeAndFaces)
{
    XmlElement e("<boundingVolume type='Mesh' radius='2.5' faceCount='3'><size x='1' y='2' z='3'/><faces>"
                 "<face><vertex x='1'/><vertex y='2'/><vertex z='3'/><vertex x='9'/></face>"
                 "<anything><v x='4'/></anything></faces><other/></boundingVolume>");
    Tarnel::BoundingVolume volume;
    TarnelUtilities::LoadBoundingVolume(e, volume);
    EXPECT_EQ(Tarnel::BoundingVolume::MESH, volume.type);
    EXPECT_EQ(2.5f, volume.sphereRadius);
    EXPECT_EQ(Vector3(1, 2, 3), volume.boxSize);
    // Any child is a face and any grandchild a vertex; faceCount faces are read, the missing ones zero.
    ASSERT_EQ(3u, volume.meshFaces.size());
    EXPECT_EQ((std::array<Vector3, 3>{Vector3(1, 0, 0), Vector3(0, 2, 0), Vector3(0, 0, 3)}), volume.meshFaces[0]);
    EXPECT_EQ((std::array<Vector3, 3>{Vector3(4, 0, 0), Vector3::ZERO, Vector3::ZERO}), volume.meshFaces[1]);
    EXPECT_EQ(Vector3::ZERO, volume.meshFaces[2][0]);

    Tarnel::BoundingVolume box;
    box.boxSize = Vector3(5, 5, 5);
    TarnelUtilities::LoadBoundingVolume(XmlElement("<b type='box'><faces><f><v x='1'/></f></faces></b>"), box);
    EXPECT_EQ(Tarnel::BoundingVolume::BOX, box.type);
    EXPECT_TRUE(box.meshFaces.empty());
    EXPECT_EQ(Vector3(5, 5, 5), box.boxSize) << "kept when there is no size child";
    EXPECT_UTILITIES_ERROR(TarnelUtilities::LoadBoundingVolume(XmlElement("<b radius='1'/>"), box),
                           InvalidParametersException, "Invalid bounding volume type specified: ",
                           "TarnelUtilities::ParseBoundingVolumeType");
}

TEST(CompositeReaders, ListsSkipOtherChildren)
{
    Tarnel::CustomParameters parameters;
    TarnelUtilities::LoadCustomParameters(XmlElement("<p><customParameter id='3' x='1' y='2' z='3' w='4'/><c/>"
                                                     "<customParameter id='-1' w='9'/></p>"),
                                          parameters);
    ASSERT_EQ(2u, parameters.size());
    EXPECT_EQ(std::make_pair(3, Vector4(1, 2, 3, 4)), std::make_pair(parameters[0].id, parameters[0].value));
    EXPECT_EQ(std::make_pair(-1, Vector4(0, 0, 0, 9)), std::make_pair(parameters[1].id, parameters[1].value));

    // Sub-entities are placed by index; what lies outside the list is dropped.
    Tarnel::SubentityMaterials names;
    TarnelUtilities::LoadSubentities(XmlElement("<s><subentity index='2' materialName='C'/><subentity materialName='A'/>"
                                                "<subentity index='1'/><subentity index='7' materialName='Outside'/>"
                                                "<subentity index='-1' materialName='Negative'/></s>"),
                                     names);
    EXPECT_EQ((Tarnel::SubentityMaterials{"A", "", "C", "", ""}), names);

    Tarnel::Types::NoteTracks tracks;
    TarnelUtilities::LoadNoteTracks(XmlElement("<n><noteTrack name='steps'><note time='0.5'>left</note><other/>"
                                               "<note time='1'/><note>right<b/>more</note></noteTrack><ignored/>"
                                               "<noteTrack/></n>"),
                                    tracks);
    ASSERT_EQ(2u, tracks.size());
    EXPECT_EQ("steps", tracks[0].name);
    ASSERT_EQ(3u, tracks[0].notes.size());
    EXPECT_EQ(std::make_pair(0.5f, String("left")), std::make_pair(tracks[0].notes[0].time, tracks[0].notes[0].text));
    EXPECT_EQ("", tracks[0].notes[1].text);
    EXPECT_EQ(std::make_pair(0.0f, String("right")), std::make_pair(tracks[0].notes[2].time, tracks[0].notes[2].text));
    EXPECT_EQ(std::make_pair(String(), size_t(0)), std::make_pair(tracks[1].name, tracks[1].notes.size()));
}

TEST(CompositeReaders, UserDataAndText)
{
    String reference = "old";
    TarnelUtilities::LoadUserDataReference(XmlElement("<userDataReference/>"), reference);
    EXPECT_EQ("", reference);
    String text = "kept";
    TarnelUtilities::GetElementText(XmlElement("<userData><child/></userData>"), text);
    EXPECT_EQ("kept", text);
    TarnelUtilities::GetElementText(XmlElement("<userData><!-- c --><child/>free &amp; text</userData>"), text);
    EXPECT_EQ("free & text", text);
}

TEST(Counting, ElementsDigitsAndPowersOfTwo)
{
    XmlElement e("<subentity><subentity/><a><subentity><subentity/></subentity></a><b/></subentity>");
    EXPECT_EQ(4, TarnelUtilities::GetElementCount(e, "subentity"));
    EXPECT_EQ(1, TarnelUtilities::GetChildElementCount(e, "subentity"));
    EXPECT_EQ(0, TarnelUtilities::GetChildElementCount(e, "Subentity"));
    for (const auto& [text, digits] :
         std::initializer_list<std::pair<const char*, bool>>{{"", true}, {"0123", true}, {"12a", false}, {" 1", false}})
        EXPECT_EQ(digits, TarnelUtilities::AllDigits(text)) << '"' << text << '"';
    // The power of two below, or half of it; the top bit does not overflow.
    for (const auto& [value, below] : std::initializer_list<std::pair<unsigned, unsigned>>{
             {0, 0}, {1, 0}, {2, 1}, {3, 2}, {5, 4}, {1000, 512}, {1024, 512}, {0xFFFFFFFFu, 0x80000000u}})
        EXPECT_EQ(below, TarnelScene::PreviousPowerOfTwo(value)) << value;
}

TEST(Paths, AbsoluteForms)
{
    for (const auto& [path, absolute] : std::initializer_list<std::pair<const char*, bool>>{
             {"", false}, {"a", false}, {"levels/a.scene", false}, {"\\levels", false}, {"./a", false},
             {"C:/levels", true}, {"d:", true}, {"\\\\server\\share", true}, {"/", true}, {"/srv/levels", true}})
        EXPECT_EQ(absolute, TarnelUtilities::IsAbsolutePath(path)) << path;
}

TEST(Paths, FullAndJoinedPaths)
{
    const std::string here = std::filesystem::current_path().string();
    // Resolved without the file existing; Windows separators are read.
    for (const auto& [path, full] : std::initializer_list<std::pair<std::string, std::string>>{
             {"missing/../levels/./a.scene", here + "/levels/a.scene"},
             {"levels\\sub\\..\\a.scene", here + "/levels/a.scene"},
             {"", here},
             {"/srv//levels/../media", "/srv/media"}})
    {
        std::string made = path;
        TarnelUtilities::MakeFullPath(made);
        EXPECT_EQ(full, made) << path;
    }
    // A relative path loses its leading separators; an absolute one is kept as it is.
    EXPECT_EQ("/srv/levels/scenes/a.scene", TarnelUtilities::JoinPath("/srv/levels", "\\scenes\\a.scene"));
    EXPECT_EQ("/srv/levels/a.scene", TarnelUtilities::JoinPath("/srv/levels/", "a.scene"));
    EXPECT_EQ("/srv/levels/a.scene", TarnelUtilities::JoinPath("/srv/levels\\", "a.scene"));
    EXPECT_EQ("/srv/media/", TarnelUtilities::JoinPath("/srv/levels", "../media/"));
    EXPECT_EQ(here + "/a.scene", TarnelUtilities::JoinPath("", "a.scene"));
    EXPECT_EQ(here + "/levels/a.scene", TarnelUtilities::JoinPath("levels", "a.scene"));
    EXPECT_EQ("D:/x.scene", TarnelUtilities::JoinPath("/srv/levels", "D:/x.scene"));
    EXPECT_EQ("/srv/other/../x.scene", TarnelUtilities::JoinPath("/srv/levels", "/srv/other/../x.scene"));
}

using XmlDocuments = EngineTest;

TEST_F(XmlDocuments, ReadThroughTheResourceGroups)
{
    TiXmlDocument document;
    TarnelUtilities::LoadXmlDocument("readable.xml", document, TestEngine::RESOURCE_GROUP);
    EXPECT_STREQ("from-group", document.RootElement()->Attribute("id"));
    // Another group than the one holding the file is searched too.
    TiXmlDocument other;
    TarnelUtilities::LoadXmlDocument("readable.xml", other, ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    EXPECT_STREQ("scene", other.RootElement()->Value());
    EXPECT_UTILITIES_ERROR(TarnelUtilities::LoadXmlDocument("unparsable.xml", document, TestEngine::RESOURCE_GROUP),
                           InvalidStateException, "There was an error with the XML file: unparsable.xml",
                           "TarnelUtilities::LoadXmlDocument");
}

using EngineObjects = EngineTest;

TEST_F(EngineObjects, NodeVisibilityAndCascade)
{
    SceneNode* parent = sceneManager->getRootSceneNode()->createChildSceneNode();
    Entity* parentEntity = sceneManager->createEntity("ParentBox", "TwoPart.mesh");
    Entity* childEntity = sceneManager->createEntity("ChildBox", "TwoPart.mesh");
    parent->attachObject(parentEntity);
    parent->createChildSceneNode()->attachObject(childEntity);
    const std::tuple<Tarnel::ObjectVisibility, bool, bool> steps[] = {
        {Tarnel::OBJECT_VISIBILITY_DEFAULT, true, true}, {Tarnel::OBJECT_HIDDEN, false, true},
        {Tarnel::OBJECT_TREE_HIDDEN, false, false},      {Tarnel::OBJECT_VISIBLE, true, false},
        {Tarnel::OBJECT_TREE_VISIBLE, true, true}};
    for (const auto& [visibility, parentVisible, childVisible] : steps)
    {
        TarnelUtilities::SetNodeVisibility(visibility, parent);
        EXPECT_EQ(std::make_pair(parentVisible, childVisible),
                  std::make_pair(parentEntity->getVisible(), childEntity->getVisible()))
            << visibility;
    }
}

TEST_F(EngineObjects, CustomParametersReachEverySubEntityInListOrder)
{
    Entity* entity = sceneManager->createEntity("Box", "TwoPart.mesh");
    Tarnel::CustomParameters parameters(2);
    parameters[0].id = parameters[1].id = 1;
    parameters[0].value = Vector4(1, 2, 3, 4);
    parameters[1].value = Vector4(5, 6, 7, 8);
    TarnelUtilities::SetCustomParameters(entity, parameters);
    ASSERT_EQ(2u, entity->getNumSubEntities());
    for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
        EXPECT_EQ(Vector4(5, 6, 7, 8), entity->getSubEntity(i)->getCustomParameter(1)) << i;
}
