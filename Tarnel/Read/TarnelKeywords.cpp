// Keyword parsers: the format's words to engine values.
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreRenderQueue.h>
#include <OgreStringConverter.h>

#include <map>
#include <utility>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        template <typename T>
        struct Keyword
        {
            const char* text;
            T value;
        };

        /** Looks a lower-cased copy of the text up among the keywords; raises
            with the text as written when none matches. */
        template <typename T, size_t N>
        T ParseKeyword(const String& text, const Keyword<T> (&keywords)[N], const char* message,
                       const char* parserName)
        {
            String lower = text;
            StringUtil::toLowerCase(lower);
            for (const Keyword<T>& keyword : keywords)
            {
                if (lower == keyword.text)
                    return keyword.value;
            }
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, message + text,
                          String("TarnelUtilities::") + parserName, UTILITIES_SOURCE_FILE);
        }

        template <typename T, size_t N>
        T ParseKeywordOrZero(const String& text, const Keyword<T> (&keywords)[N])
        {
            String lower = text;
            StringUtil::toLowerCase(lower);
            for (const Keyword<T>& keyword : keywords)
            {
                if (lower == keyword.text)
                    return keyword.value;
            }
            return T(0);
        }

        const std::map<String, uint8>& RenderQueueNames()
        {
            static const std::map<String, uint8> names = {
                {"background", RENDER_QUEUE_BACKGROUND},
                {"skiesearly", RENDER_QUEUE_SKIES_EARLY},
                {"queue1", RENDER_QUEUE_1},
                {"queue2", RENDER_QUEUE_2},
                {"worldgeometry1", RENDER_QUEUE_WORLD_GEOMETRY_1},
                {"queue3", RENDER_QUEUE_3},
                {"queue4", RENDER_QUEUE_4},
                {"main", RENDER_QUEUE_MAIN},
                {"queue6", RENDER_QUEUE_6},
                {"queue7", RENDER_QUEUE_7},
                {"worldgeometry2", RENDER_QUEUE_WORLD_GEOMETRY_2},
                {"queue8", RENDER_QUEUE_8},
                {"queue9", RENDER_QUEUE_9},
                {"skieslate", RENDER_QUEUE_SKIES_LATE},
                {"overlay", RENDER_QUEUE_OVERLAY},
                {"max", RENDER_QUEUE_MAX},
            };
            return names;
        }

        const std::map<String, PixelFormat>& PixelFormatNames()
        {
#define TARNEL_PIXEL_FORMAT(name) {#name, name}
            static const std::map<String, PixelFormat> names = {
                TARNEL_PIXEL_FORMAT(PF_L8), TARNEL_PIXEL_FORMAT(PF_L16),
                TARNEL_PIXEL_FORMAT(PF_A8),
                // This engine dropped the 4-bit luminance-alpha format; the 8-bit one has the same channels.
                {"PF_A4L4", PF_BYTE_LA},
                TARNEL_PIXEL_FORMAT(PF_BYTE_LA), TARNEL_PIXEL_FORMAT(PF_R5G6B5),
                TARNEL_PIXEL_FORMAT(PF_B5G6R5), TARNEL_PIXEL_FORMAT(PF_R3G3B2),
                TARNEL_PIXEL_FORMAT(PF_A4R4G4B4), TARNEL_PIXEL_FORMAT(PF_A1R5G5B5),
                TARNEL_PIXEL_FORMAT(PF_R8G8B8), TARNEL_PIXEL_FORMAT(PF_B8G8R8),
                TARNEL_PIXEL_FORMAT(PF_A8R8G8B8), TARNEL_PIXEL_FORMAT(PF_A8B8G8R8),
                TARNEL_PIXEL_FORMAT(PF_B8G8R8A8), TARNEL_PIXEL_FORMAT(PF_R8G8B8A8),
                TARNEL_PIXEL_FORMAT(PF_X8R8G8B8), TARNEL_PIXEL_FORMAT(PF_X8B8G8R8),
                TARNEL_PIXEL_FORMAT(PF_A2R10G10B10), TARNEL_PIXEL_FORMAT(PF_A2B10G10R10),
                TARNEL_PIXEL_FORMAT(PF_FLOAT16_R), TARNEL_PIXEL_FORMAT(PF_FLOAT16_RGB),
                TARNEL_PIXEL_FORMAT(PF_FLOAT16_RGBA), TARNEL_PIXEL_FORMAT(PF_FLOAT32_R),
                TARNEL_PIXEL_FORMAT(PF_FLOAT32_RGB), TARNEL_PIXEL_FORMAT(PF_FLOAT32_RGBA),
                TARNEL_PIXEL_FORMAT(PF_FLOAT16_GR), TARNEL_PIXEL_FORMAT(PF_FLOAT32_GR),
                TARNEL_PIXEL_FORMAT(PF_DEPTH), TARNEL_PIXEL_FORMAT(PF_SHORT_RGBA),
                TARNEL_PIXEL_FORMAT(PF_SHORT_GR), TARNEL_PIXEL_FORMAT(PF_SHORT_RGB),
            };
#undef TARNEL_PIXEL_FORMAT
            return names;
        }
    }

    Light::LightTypes TarnelUtilities::ParseLightType(const String& text)
    {
        static const Keyword<Light::LightTypes> keywords[] = {
            {"point", Light::LT_POINT}, {"directional", Light::LT_DIRECTIONAL}, {"spot", Light::LT_SPOTLIGHT}};
        return ParseKeyword(text, keywords, "Invalid light type specified: ", "ParseLightType");
    }

    ProjectionType TarnelUtilities::ParseProjectionType(const String& text)
    {
        static const Keyword<ProjectionType> keywords[] = {
            {"perspective", PT_PERSPECTIVE}, {"orthographic", PT_ORTHOGRAPHIC}};
        return ParseKeyword(text, keywords, "Invalid projection type specified: ", "ParseProjectionType");
    }

    BillboardType TarnelUtilities::ParseBillboardType(const String& text)
    {
        static const Keyword<BillboardType> keywords[] = {
            {"point", BBT_POINT},
            {"orientedcommon", BBT_ORIENTED_COMMON},
            {"orientedself", BBT_ORIENTED_SELF},
            {"perpendicularcommon", BBT_PERPENDICULAR_COMMON},
            {"perpendicularself", BBT_PERPENDICULAR_SELF}};
        return ParseKeyword(text, keywords, "Invalid billboard type specified: ", "ParseBillboardType");
    }

    BillboardOrigin TarnelUtilities::ParseBillboardOrigin(const String& text)
    {
        static const Keyword<BillboardOrigin> keywords[] = {
            {"topleft", BBO_TOP_LEFT}, {"topcenter", BBO_TOP_CENTER}, {"topright", BBO_TOP_RIGHT},
            {"centerleft", BBO_CENTER_LEFT}, {"center", BBO_CENTER}, {"centerright", BBO_CENTER_RIGHT},
            {"bottomleft", BBO_BOTTOM_LEFT}, {"bottomcenter", BBO_BOTTOM_CENTER},
            {"bottomright", BBO_BOTTOM_RIGHT}};
        return ParseKeyword(text, keywords, "Invalid billboard origin specified: ", "ParseBillboardOrigin");
    }

    BillboardRotationType TarnelUtilities::ParseBillboardRotationType(const String& text)
    {
        static const Keyword<BillboardRotationType> keywords[] = {
            {"vertex", BBR_VERTEX}, {"texcoord", BBR_TEXCOORD}};
        return ParseKeyword(text, keywords, "Invalid billboard rotation type specified: ",
                            "ParseBillboardRotationType");
    }

    HardwareBuffer::Usage TarnelUtilities::ParseHardwareBufferUsage(const String& text)
    {
        static const Keyword<HardwareBuffer::Usage> keywords[] = {
            {"static", HardwareBuffer::HBU_STATIC},
            {"dynamic", HardwareBuffer::HBU_DYNAMIC},
            {"writeonly", HardwareBuffer::HBU_WRITE_ONLY},
            {"staticwriteonly", HardwareBuffer::HBU_STATIC_WRITE_ONLY},
            {"dynamicwriteonly", HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY}};
        return ParseKeyword(text, keywords, "Invalid hardware buffer usage specified: ",
                            "ParseHardwareBufferUsage");
    }

    Node::TransformSpace TarnelUtilities::ParseTransformSpace(const String& text)
    {
        static const Keyword<Node::TransformSpace> keywords[] = {
            {"local", Node::TS_LOCAL}, {"parent", Node::TS_PARENT}, {"world", Node::TS_WORLD}};
        return ParseKeyword(text, keywords, "Invalid transform space specified: ", "ParseTransformSpace");
    }

    BoundingVolumeType TarnelUtilities::ParseBoundingVolumeType(const String& text)
    {
        static const Keyword<BoundingVolumeType> keywords[] = {
            {"sphere", BoundingVolume::SPHERE}, {"box", BoundingVolume::BOX}, {"mesh", BoundingVolume::MESH}};
        return ParseKeyword(text, keywords, "Invalid bounding volume type specified: ",
                            "ParseBoundingVolumeType");
    }

    ShadowTechnique TarnelUtilities::ParseShadowTechnique(const String& text)
    {
        static const Keyword<ShadowTechnique> keywords[] = {
            {"none", SHADOWTYPE_NONE},
            {"stencilmodulative", SHADOWTYPE_STENCIL_MODULATIVE},
            {"stenciladditive", SHADOWTYPE_STENCIL_ADDITIVE},
            {"texturemodulative", SHADOWTYPE_TEXTURE_MODULATIVE},
            {"textureadditive", SHADOWTYPE_TEXTURE_ADDITIVE},
            {"texturemodulativeintegrated", SHADOWTYPE_TEXTURE_MODULATIVE_INTEGRATED},
            {"textureadditiveintegrated", SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED}};
        return ParseKeyword(text, keywords, "Invalid shadow technique specified: ", "ParseShadowTechnique");
    }

    UpAxis TarnelUtilities::ParseUpAxis(const String& text)
    {
        static const Keyword<UpAxis> keywords[] = {{"y", UP_AXIS_Y}, {"z", UP_AXIS_Z}};
        return ParseKeyword(text, keywords, "Invalid up axis specified: ", "ParseUpAxis");
    }

    Animation::InterpolationMode TarnelUtilities::ParseAnimationInterpolationMode(const String& text)
    {
        static const Keyword<Animation::InterpolationMode> keywords[] = {
            {"linear", Animation::IM_LINEAR}, {"spline", Animation::IM_SPLINE}};
        return ParseKeyword(text, keywords, "Invalid animation interpolation mode specified: ",
                            "ParseAnimationInterpolationMode");
    }

    Animation::RotationInterpolationMode TarnelUtilities::ParseAnimationRotationInterpolationMode(
        const String& text)
    {
        static const Keyword<Animation::RotationInterpolationMode> keywords[] = {
            {"linear", Animation::RIM_LINEAR}, {"spherical", Animation::RIM_SPHERICAL}};
        return ParseKeyword(text, keywords, "Invalid animation rotation interpolation mode specified: ",
                            "ParseAnimationRotationInterpolationMode");
    }

    TextureType TarnelUtilities::ParseTextureType(const String& text)
    {
        static const Keyword<TextureType> keywords[] = {
            {"1d", TEX_TYPE_1D}, {"2d", TEX_TYPE_2D}, {"3d", TEX_TYPE_3D}, {"cubic", TEX_TYPE_CUBE_MAP}};
        return ParseKeyword(text, keywords, "Invalid texture type specified: ", "ParseTextureType");
    }

    FogMode TarnelUtilities::ParseFogMode(const String& text)
    {
        static const Keyword<FogMode> keywords[] = {
            {"exp", FOG_EXP}, {"exp2", FOG_EXP2}, {"linear", FOG_LINEAR}};
        return ParseKeywordOrZero(text, keywords);
    }

    ObjectVisibility TarnelUtilities::ParseObjectVisibility(const String& text)
    {
        static const Keyword<ObjectVisibility> keywords[] = {
            {"visible", OBJECT_VISIBLE}, {"hidden", OBJECT_HIDDEN},
            {"treevisible", OBJECT_TREE_VISIBLE}, {"treehidden", OBJECT_TREE_HIDDEN}};
        return ParseKeywordOrZero(text, keywords);
    }

    uint8 TarnelUtilities::ParseRenderQueue(const String& text)
    {
        if (text.empty())
            return RENDER_QUEUE_MAIN;
        if (TarnelUtilities::AllDigits(text))
            return uint8(TarnelUtilities::ParseUInt(text));

        // A name alone is not trimmed; only the parts around "+" are.
        String name = text;
        unsigned int offset = 0;
        size_t plus = text.find('+');
        if (plus != String::npos)
        {
            String offsetText = text.substr(plus + 1);
            StringUtil::trim(offsetText);
            offset = uint8(TarnelUtilities::ParseUInt(offsetText));
            name = text.substr(0, plus);
            StringUtil::trim(name);
        }
        StringUtil::toLowerCase(name);

        const std::map<String, uint8>& names = RenderQueueNames();
        std::map<String, uint8>::const_iterator found = names.find(name);
        if (found == names.end())
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, "Invalid render queue specified: " + text,
                          "TarnelUtilities::ParseRenderQueue", UTILITIES_SOURCE_FILE);

        unsigned int queue = (found->second + offset) % 256;
        return uint8(std::min(queue, unsigned(RENDER_QUEUE_MAX)));
    }

    PixelFormat TarnelUtilities::ParsePixelFormat(const String& text)
    {
        const std::map<String, PixelFormat>& names = PixelFormatNames();
        std::map<String, PixelFormat>::const_iterator found = names.find(text);
        if (found == names.end())
            TARNEL_EXCEPT(Exception::ERR_INVALIDPARAMS, "Invalid pixel format specified: " + text,
                          "TarnelUtilities::ParsePixelFormat", UTILITIES_SOURCE_FILE);
        return found->second;
    }
}
