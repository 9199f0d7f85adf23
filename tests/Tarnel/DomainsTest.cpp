#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "support/Engine.h"
#include "support/Xml.h"

using namespace Ogre;
using namespace Tarnel;

namespace
{
    /// What a reader made of an element, and the one warning it logged (empty for none).
    struct Reading
    {
        String value;
        String warning;
    };

    template <typename Read>
    Reading ReadWithWarnings(const char* text, Read read)
    {
        TestEngine::Root();
        LogRecorder log;
        XmlElement element(text);
        Reading reading{read(element), ""};
        for (const String& message : log.messages)
            reading.warning += (reading.warning.empty() ? "" : " | ") + message;
        return reading;
    }

    struct Row
    {
        const char* element;
        const char* value;
        const char* warning;
    };

    template <typename Read>
    void ExpectRows(const std::vector<Row>& rows, Read read)
    {
        for (const Row& row : rows)
        {
            Reading reading = ReadWithWarnings(row.element, read);
            EXPECT_EQ(row.value, reading.value) << row.element;
            EXPECT_EQ(row.warning[0] ? "Warning: Tarnel: " + String(row.warning) : "", reading.warning) << row.element;
        }
    }
}

TEST(Domains, CameraFieldOfViewAndAspectRatio)
{
    ExpectRows(
        {
            {"<camera name='C' fov='1' aspectRatio='2'/>", "1 2", ""},
            {"<camera name='C'/>", "1.5708 1.33", ""},
            {"<camera name='C' fov='100'/>", "1.74533 1.33",
             "camera \"C\" has fov=\"100\", which is not above 0 and below pi radians; it is read as 100 degrees"},
            {"<camera name='C' fov='0'/>", "1.5708 1.33",
             "camera \"C\" has fov=\"0\", which is not above 0 and below pi radians; it keeps 1.5708"},
            {"<camera name='C' fov='-1'/>", "1.5708 1.33",
             "camera \"C\" has fov=\"-1\", which is not above 0 and below pi radians; it keeps 1.5708"},
            {"<camera name='C' fov='180'/>", "1.5708 1.33",
             "camera \"C\" has fov=\"180\", which is not above 0 and below pi radians; it keeps 1.5708"},
            {"<camera name='C' aspectRatio='0'/>", "1.5708 1.33",
             "camera \"C\" has aspectRatio=\"0\", which is not above 0; it keeps 1.33"},
        },
        [](const TiXmlElement* e) {
            Tarnel::Types::CameraParameters camera;
            Tarnel::Objects::ReadCameraAttributes(e, camera);
            return StringConverter::toString(camera.fovy.valueRadians()) + " " +
                   StringConverter::toString(camera.aspectRatio);
        });
}

TEST(Domains, ClipDistances)
{
    ExpectRows(
        {
            {"<clipping near='0.5' far='50'/>", "0.5 50", ""},
            {"<clipping near='1' far='0'/>", "1 0", ""},
            {"<camera name='C'><clipping near='0' far='100'/></camera>", "0.1 100",
             "clipping of camera \"C\" has near=\"0\", which is not above 0; it is 0.1"},
            {"<clipping near='0'/>", "10 10000", "clipping has near=\"0\", which is not above 0; it is 10"},
            {"<clipping near='5' far='1'/>", "5 0",
             "clipping has near=\"5\" far=\"1\", a far clip not beyond the near one; the camera has no far clip plane"},
            {"<clipping near='-1' far='-10'/>", "0.1 0",
             "clipping has far=\"-10\", which is below 0; the camera has no far clip plane | "
             "Warning: Tarnel: clipping has near=\"-1\", which is not above 0; it is 0.1"},
        },
        [](const TiXmlElement* e) {
            const TiXmlElement* clipping = e->ValueStr() == "clipping" ? e : e->FirstChildElement();
            Real nearClip = 0, farClip = 0;
            TarnelUtilities::LoadClipping(clipping, nearClip, farClip);
            return StringConverter::toString(nearClip) + " " + StringConverter::toString(farClip);
        });
}

TEST(Domains, SpotlightConeAndAttenuation)
{
    ExpectRows(
        {
            {"<lightRange inner='0' outer='3.14159274'/>", "0 3.14159 1 | 100 1 0 0", ""},
            {"<lightRange inner='30' outer='45'/>", "0.523599 0.785398 1 | 100 1 0 0",
             "lightRange has inner=\"30\", which is not from 0 up to pi radians; it is read as 30 degrees | "
             "Warning: Tarnel: lightRange has outer=\"45\", which is not above 0 up to pi radians; it is read as 45 degrees"},
            {"<lightRange outer='-1'/>", "0.2 0.5 1 | 100 1 0 0",
             "lightRange has outer=\"-1\", which is not above 0 up to pi radians; it keeps 0.5"},
            {"<lightRange outer='0'/>", "0.2 0.5 1 | 100 1 0 0",
             "lightRange has outer=\"0\", which is not above 0 up to pi radians; it keeps 0.5"},
            {"<lightAttenuation range='-5' constant='-1' linear='0.5'/>", "0.2 0.5 1 | 100 1 0.5 0",
             "lightAttenuation has range=\"-5\", which is not above 0; it keeps 100 | "
             "Warning: Tarnel: lightAttenuation has constant=\"-1\", which is below 0; it keeps 1"},
        },
        [](const TiXmlElement* e) {
            Radian inner(0.2f), outer(0.5f);
            Real falloff = 1, range = 100, constant = 1, linear = 0, quadric = 0;
            if (e->ValueStr() == "lightRange")
                Tarnel::Objects::LoadLightRange(e, inner, outer, falloff);
            else
                Tarnel::Objects::LoadLightAttenuation(e, range, constant, linear, quadric);
            return StringConverter::toString(inner.valueRadians()) + " " +
                   StringConverter::toString(outer.valueRadians()) + " " + StringConverter::toString(falloff) +
                   " | " + StringConverter::toString(range) + " " + StringConverter::toString(constant) + " " +
                   StringConverter::toString(linear) + " " + StringConverter::toString(quadric);
        });
}

TEST(Domains, SizesOfSetsRegionsAndScales)
{
    ExpectRows(
        {
            {"<billboardSet name='B' width='2' height='0'/>", "2 0", ""},
            {"<billboardSet name='B' width='-2' height='-3'/>", "10 10",
             "billboardSet \"B\" has width=\"-2\", which is below 0; it keeps 10 | "
             "Warning: Tarnel: billboardSet \"B\" has height=\"-3\", which is below 0; it keeps 10"},
            {"<scale x='-2' y='0.5' z='3'/>", "-2 0.5 3", ""},
            {"<scale x='0' y='-1e-9' z='1e-9'/>", "1e-06 -1e-06 1e-06",
             "scale has x=\"0\" y=\"-1e-9\" z=\"1e-9\", a scale of 0 on a side, which no inverse undoes; it is "
             "1e-06 -1e-06 1e-06"},
            {"<entity name='E' renderQueue='200'/>", "105",
             "entity \"E\" has renderQueue=\"200\", which is past the last render queue, 105; it is 105"},
            {"<entity name='E' renderQueue='max'/>", "105", ""},
            {"<dimensions x='10' y='10' z='10'/>", "10 10 10", ""},
            {"<dimensions x='10' y='0' z='10'/>", "1e+06 1e+06 1e+06",
             "dimensions has x=\"10\" y=\"0\" z=\"10\", a size not above 0 on every side; it keeps 1e+06 1e+06 1e+06"},
        },
        [](const TiXmlElement* e) {
            if (e->ValueStr() == "scale")
                return StringConverter::toString(TarnelUtilities::LoadScale(e));
            if (e->ValueStr() == "entity")
                return StringConverter::toString(int(Tarnel::Domains::RenderQueue(e, "renderQueue",
                                                                                 e->Attribute("renderQueue"))));
            if (e->ValueStr() == "dimensions")
                return StringConverter::toString(
                    Tarnel::Domains::RegionSize(e, TarnelUtilities::LoadXYZ(e), Vector3(1e6f, 1e6f, 1e6f)));
            Tarnel::Types::BillboardSetParameters set;
            Tarnel::Objects::ReadBillboardSetAttributes(e, set);
            return StringConverter::toString(set.width) + " " + StringConverter::toString(set.height);
        });
}

TEST(Domains, RotationsAndMagnitudes)
{
    ExpectRows(
        {
            {"<rotation qw='2' qx='0' qy='0' qz='0'/>", "2 0 0 0", ""},
            {"<rotation qw='0' qx='0' qy='0' qz='0'/>", "1 0 0 0",
             "rotation has qw=\"0\" qx=\"0\" qy=\"0\" qz=\"0\", a rotation of length 0; it keeps the identity"},
            {"<node name='N'><rotation qx='0' qy='0' qz='0'/></node>", "1 0 0 0",
             "rotation of node \"N\" has qx=\"0\" qy=\"0\" qz=\"0\", a rotation of length 0; it keeps the identity"},
            {"<rotation qx='1e-30'/>", "0 1 0 0",
             "rotation has qx=\"1e-30\", a rotation whose length single precision cannot measure; it is scaled to "
             "unit length"},
            {"<rotation qw='1' qx='3e9'/>", "1 1e+09 0 0",
             "rotation has qx=\"3e9\", which is past the largest magnitude a level may use; it is 1e+09"},
        },
        [](const TiXmlElement* e) {
            const TiXmlElement* rotation = e->ValueStr() == "rotation" ? e : e->FirstChildElement();
            return StringConverter::toString(TarnelUtilities::LoadRotation(rotation));
        });
}
