// The keyword parsers, the number and vector readers and the XML depth check, alone.
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"

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
    Try([&] { TarnelUtilities::ParseReal(text); });
    Try([&] { TarnelUtilities::ParseInt(text); });
    Try([&] { TarnelUtilities::ParseUInt(text); });
    Try([&] { TarnelUtilities::ParseBool(text); });
    Try([&] { TarnelUtilities::AllDigits(text); });
    Try([&] { TarnelUtilities::ParseLightType(text); });
    Try([&] { TarnelUtilities::ParseProjectionType(text); });
    Try([&] { TarnelUtilities::ParseBillboardType(text); });
    Try([&] { TarnelUtilities::ParseBillboardOrigin(text); });
    Try([&] { TarnelUtilities::ParseBillboardRotationType(text); });
    Try([&] { TarnelUtilities::ParseHardwareBufferUsage(text); });
    Try([&] { TarnelUtilities::ParseTransformSpace(text); });
    Try([&] { TarnelUtilities::ParseBoundingVolumeType(text); });
    Try([&] { TarnelUtilities::ParseShadowTechnique(text); });
    Try([&] { TarnelUtilities::ParseUpAxis(text); });
    Try([&] { TarnelUtilities::ParseAnimationInterpolationMode(text); });
    Try([&] { TarnelUtilities::ParseAnimationRotationInterpolationMode(text); });
    Try([&] { TarnelUtilities::ParseTextureType(text); });
    Try([&] { TarnelUtilities::ParseRenderQueue(text); });
    Try([&] { TarnelUtilities::ParsePixelFormat(text); });
    Try([&] { TarnelUtilities::ParseFogMode(text); });
    Try([&] { TarnelUtilities::ParseObjectVisibility(text); });
    Try([&] { TarnelUtilities::JoinPath(text, text); });
    Try([&] { TarnelUtilities::IsAbsolutePath(text); });

    const TiXmlElement element = ElementWith(text);
    Try([&] { TarnelUtilities::LoadXYZ(&element); });
    Try([&] { TarnelUtilities::LoadColor(&element); });
    Try([&] { TarnelUtilities::LoadRotation(&element); });
    Try([&] { TarnelUtilities::LoadPlane(&element); });
    Try([&] { TarnelUtilities::LoadFloatRectangle(&element); });
    Try([&] {
        Tarnel::BoundingVolume volume;
        TarnelUtilities::LoadBoundingVolume(&element, volume);
    });

    // As a document: the depth check first, then the parser, as the loader reads files.
    TarnelUtilities::NestsDeeperThan(text.c_str(), Tarnel::Limits::MAX_ELEMENT_DEPTH);
    TiXmlDocument document;
    TarnelUtilities::ParseXml(text, document, "input");
    return 0;
}
