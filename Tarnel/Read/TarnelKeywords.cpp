// Keyword parsers: the format's words to engine values.
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelExcept.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreRenderQueue.h>
#include <OgreStringConverter.h>

#include <cstring>
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

        // The keywords of each parser that refuses other words, with the words it refuses them in.
        const Keyword<Light::LightTypes> LIGHT_TYPE[] = {
            {"point", Light::LT_POINT}, {"directional", Light::LT_DIRECTIONAL}, {"spot", Light::LT_SPOTLIGHT}};
        const char* const LIGHT_TYPE_REFUSED = "Invalid light type specified: ";

        const Keyword<ProjectionType> PROJECTION_TYPE[] = {
            {"perspective", PT_PERSPECTIVE}, {"orthographic", PT_ORTHOGRAPHIC}};
        const char* const PROJECTION_TYPE_REFUSED = "Invalid projection type specified: ";

        const Keyword<BillboardType> BILLBOARD_TYPE[] = {
            {"point", BBT_POINT},
            {"orientedcommon", BBT_ORIENTED_COMMON},
            {"orientedself", BBT_ORIENTED_SELF},
            {"perpendicularcommon", BBT_PERPENDICULAR_COMMON},
            {"perpendicularself", BBT_PERPENDICULAR_SELF}};
        const char* const BILLBOARD_TYPE_REFUSED = "Invalid billboard type specified: ";

        const Keyword<BillboardOrigin> BILLBOARD_ORIGIN[] = {
            {"topleft", BBO_TOP_LEFT}, {"topcenter", BBO_TOP_CENTER}, {"topright", BBO_TOP_RIGHT},
            {"centerleft", BBO_CENTER_LEFT}, {"center", BBO_CENTER}, {"centerright", BBO_CENTER_RIGHT},
            {"bottomleft", BBO_BOTTOM_LEFT}, {"bottomcenter", BBO_BOTTOM_CENTER},
            {"bottomright", BBO_BOTTOM_RIGHT}};
        const char* const BILLBOARD_ORIGIN_REFUSED = "Invalid billboard origin specified: ";

        const Keyword<BillboardRotationType> BILLBOARD_ROTATION_TYPE[] = {
            {"vertex", BBR_VERTEX}, {"texcoord", BBR_TEXCOORD}};
        const char* const BILLBOARD_ROTATION_TYPE_REFUSED = "Invalid billboard rotation type specified: ";

        const Keyword<HardwareBuffer::Usage> HARDWARE_BUFFER_USAGE[] = {
            {"static", HardwareBuffer::HBU_STATIC},
            {"dynamic", HardwareBuffer::HBU_DYNAMIC},
            {"writeonly", HardwareBuffer::HBU_WRITE_ONLY},
            {"staticwriteonly", HardwareBuffer::HBU_STATIC_WRITE_ONLY},
            {"dynamicwriteonly", HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY}};
        const char* const HARDWARE_BUFFER_USAGE_REFUSED = "Invalid hardware buffer usage specified: ";

        const Keyword<Node::TransformSpace> TRANSFORM_SPACE[] = {
            {"local", Node::TS_LOCAL}, {"parent", Node::TS_PARENT}, {"world", Node::TS_WORLD}};
        const char* const TRANSFORM_SPACE_REFUSED = "Invalid transform space specified: ";

        const Keyword<BoundingVolumeType> BOUNDING_VOLUME_TYPE[] = {
            {"sphere", BoundingVolume::SPHERE}, {"box", BoundingVolume::BOX}, {"mesh", BoundingVolume::MESH}};
        const char* const BOUNDING_VOLUME_TYPE_REFUSED = "Invalid bounding volume type specified: ";

        const Keyword<ShadowTechnique> SHADOW_TECHNIQUE[] = {
            {"none", SHADOWTYPE_NONE},
            {"stencilmodulative", SHADOWTYPE_STENCIL_MODULATIVE},
            {"stenciladditive", SHADOWTYPE_STENCIL_ADDITIVE},
            {"texturemodulative", SHADOWTYPE_TEXTURE_MODULATIVE},
            {"textureadditive", SHADOWTYPE_TEXTURE_ADDITIVE},
            {"texturemodulativeintegrated", SHADOWTYPE_TEXTURE_MODULATIVE_INTEGRATED},
            {"textureadditiveintegrated", SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED}};
        const char* const SHADOW_TECHNIQUE_REFUSED = "Invalid shadow technique specified: ";

        const Keyword<UpAxis> UP_AXIS[] = {{"y", UP_AXIS_Y}, {"z", UP_AXIS_Z}};
        const char* const UP_AXIS_REFUSED = "Invalid up axis specified: ";

        const Keyword<Animation::InterpolationMode> ANIMATION_INTERPOLATION_MODE[] = {
            {"linear", Animation::IM_LINEAR}, {"spline", Animation::IM_SPLINE}};
        const char* const ANIMATION_INTERPOLATION_MODE_REFUSED = "Invalid animation interpolation mode specified: ";

        const Keyword<Animation::RotationInterpolationMode> ANIMATION_ROTATION_INTERPOLATION_MODE[] = {
            {"linear", Animation::RIM_LINEAR}, {"spherical", Animation::RIM_SPHERICAL}};
        const char* const ANIMATION_ROTATION_INTERPOLATION_MODE_REFUSED = "Invalid animation rotation interpolation mode specified: ";

        const Keyword<TextureType> TEXTURE_TYPE[] = {
            {"1d", TEX_TYPE_1D}, {"2d", TEX_TYPE_2D}, {"3d", TEX_TYPE_3D}, {"cubic", TEX_TYPE_CUBE_MAP}};
        const char* const TEXTURE_TYPE_REFUSED = "Invalid texture type specified: ";

        template <typename T, size_t N> std::vector<const char*> Texts(const Keyword<T> (&keywords)[N])
        {
            std::vector<const char*> texts;
            for (const Keyword<T>& keyword : keywords)
                texts.push_back(keyword.text);
            return texts;
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

    std::vector<String> TarnelUtilities::KeywordsRefusing(const String& refusal)
    {
        static const std::pair<const char*, std::vector<const char*>> lists[] = {
                {LIGHT_TYPE_REFUSED, Texts(LIGHT_TYPE)},
                {PROJECTION_TYPE_REFUSED, Texts(PROJECTION_TYPE)},
                {BILLBOARD_TYPE_REFUSED, Texts(BILLBOARD_TYPE)},
                {BILLBOARD_ORIGIN_REFUSED, Texts(BILLBOARD_ORIGIN)},
                {BILLBOARD_ROTATION_TYPE_REFUSED, Texts(BILLBOARD_ROTATION_TYPE)},
                {HARDWARE_BUFFER_USAGE_REFUSED, Texts(HARDWARE_BUFFER_USAGE)},
                {TRANSFORM_SPACE_REFUSED, Texts(TRANSFORM_SPACE)},
                {BOUNDING_VOLUME_TYPE_REFUSED, Texts(BOUNDING_VOLUME_TYPE)},
                {SHADOW_TECHNIQUE_REFUSED, Texts(SHADOW_TECHNIQUE)},
                {UP_AXIS_REFUSED, Texts(UP_AXIS)},
                {ANIMATION_INTERPOLATION_MODE_REFUSED, Texts(ANIMATION_INTERPOLATION_MODE)},
                {ANIMATION_ROTATION_INTERPOLATION_MODE_REFUSED, Texts(ANIMATION_ROTATION_INTERPOLATION_MODE)},
                {TEXTURE_TYPE_REFUSED, Texts(TEXTURE_TYPE)},
        };
        for (const auto& [refused, texts] : lists)
        {
            if (refusal.compare(0, std::strlen(refused), refused) == 0)
                return {texts.begin(), texts.end()};
        }
        return {};
    }

    Light::LightTypes TarnelUtilities::ParseLightType(const String& text)
    {
        return ParseKeyword(text, LIGHT_TYPE, LIGHT_TYPE_REFUSED, "ParseLightType");
    }

    ProjectionType TarnelUtilities::ParseProjectionType(const String& text)
    {
        return ParseKeyword(text, PROJECTION_TYPE, PROJECTION_TYPE_REFUSED, "ParseProjectionType");
    }

    BillboardType TarnelUtilities::ParseBillboardType(const String& text)
    {
        return ParseKeyword(text, BILLBOARD_TYPE, BILLBOARD_TYPE_REFUSED, "ParseBillboardType");
    }

    BillboardOrigin TarnelUtilities::ParseBillboardOrigin(const String& text)
    {
        return ParseKeyword(text, BILLBOARD_ORIGIN, BILLBOARD_ORIGIN_REFUSED, "ParseBillboardOrigin");
    }

    BillboardRotationType TarnelUtilities::ParseBillboardRotationType(const String& text)
    {
        return ParseKeyword(text, BILLBOARD_ROTATION_TYPE, BILLBOARD_ROTATION_TYPE_REFUSED, "ParseBillboardRotationType");
    }

    HardwareBuffer::Usage TarnelUtilities::ParseHardwareBufferUsage(const String& text)
    {
        return ParseKeyword(text, HARDWARE_BUFFER_USAGE, HARDWARE_BUFFER_USAGE_REFUSED, "ParseHardwareBufferUsage");
    }

    Node::TransformSpace TarnelUtilities::ParseTransformSpace(const String& text)
    {
        return ParseKeyword(text, TRANSFORM_SPACE, TRANSFORM_SPACE_REFUSED, "ParseTransformSpace");
    }

    BoundingVolumeType TarnelUtilities::ParseBoundingVolumeType(const String& text)
    {
        return ParseKeyword(text, BOUNDING_VOLUME_TYPE, BOUNDING_VOLUME_TYPE_REFUSED, "ParseBoundingVolumeType");
    }

    ShadowTechnique TarnelUtilities::ParseShadowTechnique(const String& text)
    {
        return ParseKeyword(text, SHADOW_TECHNIQUE, SHADOW_TECHNIQUE_REFUSED, "ParseShadowTechnique");
    }

    UpAxis TarnelUtilities::ParseUpAxis(const String& text)
    {
        return ParseKeyword(text, UP_AXIS, UP_AXIS_REFUSED, "ParseUpAxis");
    }

    Animation::InterpolationMode TarnelUtilities::ParseAnimationInterpolationMode(const String& text)
    {
        return ParseKeyword(text, ANIMATION_INTERPOLATION_MODE, ANIMATION_INTERPOLATION_MODE_REFUSED, "ParseAnimationInterpolationMode");
    }

    Animation::RotationInterpolationMode TarnelUtilities::ParseAnimationRotationInterpolationMode(
        const String& text)
    {
        return ParseKeyword(text, ANIMATION_ROTATION_INTERPOLATION_MODE, ANIMATION_ROTATION_INTERPOLATION_MODE_REFUSED, "ParseAnimationRotationInterpolationMode");
    }

    TextureType TarnelUtilities::ParseTextureType(const String& text)
    {
        return ParseKeyword(text, TEXTURE_TYPE, TEXTURE_TYPE_REFUSED, "ParseTextureType");
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
