// The keyword parsers, the number and vector readers and the XML depth check, alone.
#include "Tarnel/TarnelLimits.h"
#include "Tarnel/TarnelDocuments.h"
#include "Tarnel/TarnelKeywords.h"
#include "Tarnel/TarnelPaths.h"
#include "Tarnel/TarnelReaders.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Tarnel;

namespace
{
    template <typename Parse>
    void Try(Parse parse)
    {
        try
        {
            parse();
        }
        catch (const Ogre::Exception& error)
        {
            (void)error.getFullDescription();
        }
    }

    /// An element whose every attribute the readers ask for holds the text.
    TiXmlElement ElementWith(const std::string& text)
    {
        TiXmlElement element("value");
        for (const char* name : {"x", "y", "z", "w", "r", "g", "b", "a", "qx", "qy", "qz", "qw", "angle", "axisX",
                                 "axisY", "axisZ", "angleX", "angleY", "angleZ", "xAxisX", "yAxisY", "zAxisZ", "d",
                                 "distance", "normalX", "normalY", "normalZ", "left", "top", "right", "bottom",
                                 "type", "faceCount", "radius", "usage", "useShadow", "id", "name"})
            element.SetAttribute(name, text);
        return element;
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The readers log through the engine's log; nothing else of the engine is needed.
    (new Ogre::LogManager())->createLog("fuzz-values.log", true, false, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Try([&] { Readers::ParseReal(text); });
    Try([&] { Readers::ParseInt(text); });
    Try([&] { Readers::ParseUInt(text); });
    Try([&] { Readers::ParseBool(text); });
    Try([&] { Readers::AllDigits(text); });
    Try([&] { Keywords::ParseLightType(text); });
    Try([&] { Keywords::ParseProjectionType(text); });
    Try([&] { Keywords::ParseBillboardType(text); });
    Try([&] { Keywords::ParseBillboardOrigin(text); });
    Try([&] { Keywords::ParseBillboardRotationType(text); });
    Try([&] { Keywords::ParseHardwareBufferUsage(text); });
    Try([&] { Keywords::ParseTransformSpace(text); });
    Try([&] { Keywords::ParseBoundingVolumeType(text); });
    Try([&] { Keywords::ParseShadowTechnique(text); });
    Try([&] { Keywords::ParseUpAxis(text); });
    Try([&] { Keywords::ParseAnimationInterpolationMode(text); });
    Try([&] { Keywords::ParseAnimationRotationInterpolationMode(text); });
    Try([&] { Keywords::ParseTextureType(text); });
    Try([&] { Keywords::ParseRenderQueue(text); });
    Try([&] { Keywords::ParsePixelFormat(text); });
    Try([&] { Keywords::ParseFogMode(text); });
    Try([&] { Keywords::ParseObjectVisibility(text); });
    Try([&] { Paths::JoinPath(text, text); });
    Try([&] { Paths::IsAbsolutePath(text); });

    const TiXmlElement element = ElementWith(text);
    Try([&] { Readers::LoadXYZ(&element); });
    Try([&] { Readers::LoadColor(&element); });
    Try([&] { Readers::LoadRotation(&element); });
    Try([&] { Readers::LoadPlane(&element); });
    Try([&] { Readers::LoadFloatRectangle(&element); });
    Try([&] {
        Tarnel::BoundingVolume volume;
        Readers::LoadBoundingVolume(&element, volume);
    });

    // As a document: the depth check first, then the parser, as the loader reads files.
    Documents::NestsDeeperThan(text.c_str(), Tarnel::Limits::MAX_ELEMENT_DEPTH);
    TiXmlDocument document;
    Documents::ParseXml(text, document, "input");
    return 0;
}
