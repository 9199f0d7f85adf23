#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "support/Xml.h"

using namespace Ogre;
using namespace Tarnel;

namespace
{
    // Every keyword must parse the same in lower, upper and mixed case.
    template <typename T>
    void ExpectKeywords(T (*parse)(const String&), std::initializer_list<std::pair<const char*, int>> table)
    {
        for (const auto& [keyword, value] : table)
        {
            String upper = keyword, mixed = keyword;
            StringUtil::toUpperCase(upper);
            mixed[0] = upper[0];
            for (const String& text : {String(keyword), upper, mixed})
                EXPECT_EQ(value, int(parse(text))) << text;
        }
    }
}

TEST(StrictParsers, MapEveryKeywordInAnyCase)
{
    ExpectKeywords(&TarnelUtilities::ParseLightType, {{"point", 0}, {"directional", 1}, {"spot", 2}});
    ExpectKeywords(&TarnelUtilities::ParseProjectionType, {{"perspective", 1}, {"orthographic", 0}});
    ExpectKeywords(&TarnelUtilities::ParseBillboardType,
                   {{"point", 0}, {"orientedcommon", 1}, {"orientedself", 2}, {"perpendicularcommon", 3},
                    {"perpendicularself", 4}});
    ExpectKeywords(&TarnelUtilities::ParseBillboardOrigin,
                   {{"topleft", 0}, {"topcenter", 1}, {"topright", 2}, {"centerleft", 3}, {"center", 4},
                    {"centerright", 5}, {"bottomleft", 6}, {"bottomcenter", 7}, {"bottomright", 8}});
    ExpectKeywords(&TarnelUtilities::ParseBillboardRotationType, {{"vertex", 0}, {"texcoord", 1}});
    ExpectKeywords(&TarnelUtilities::ParseHardwareBufferUsage,
                   {{"static", 1}, {"dynamic", 2}, {"writeonly", 4}, {"staticwriteonly", 5},
                    {"dynamicwriteonly", 6}});
    ExpectKeywords(&TarnelUtilities::ParseTransformSpace, {{"local", 0}, {"parent", 1}, {"world", 2}});
    ExpectKeywords(&TarnelUtilities::ParseBoundingVolumeType, {{"sphere", 1}, {"box", 2}, {"mesh", 3}});
    ExpectKeywords(&TarnelUtilities::ParseShadowTechnique,
                   {{"none", 0}, {"stencilmodulative", 18}, {"stenciladditive", 17}, {"texturemodulative", 34},
                    {"textureadditive", 33}, {"texturemodulativeintegrated", 38},
                    {"textureadditiveintegrated", 37}});
    ExpectKeywords(&TarnelUtilities::ParseUpAxis, {{"y", 0}, {"z", 1}});
    ExpectKeywords(&TarnelUtilities::ParseAnimationInterpolationMode, {{"linear", 0}, {"spline", 1}});
    ExpectKeywords(&TarnelUtilities::ParseAnimationRotationInterpolationMode, {{"linear", 0}, {"spherical", 1}});
    ExpectKeywords(&TarnelUtilities::ParseTextureType, {{"1d", 1}, {"2d", 2}, {"3d", 3}, {"cubic", 4}});
}

TEST(StrictParsers, UnknownTextRaisesWithTheTextAsWritten)
{
    // Neither trimmed nor defaulted when empty.
    const struct
    {
        std::function<void(const String&)> parse;
        const char *source, *kind, *text;
    } cases[] = {
        {TarnelUtilities::ParseLightType, "ParseLightType", "light type", "Spotlight"},
        {TarnelUtilities::ParseLightType, "ParseLightType", "light type", " point"},
        {TarnelUtilities::ParseLightType, "ParseLightType", "light type", ""},
        {TarnelUtilities::ParseProjectionType, "ParseProjectionType", "projection type", "ortho"},
        {TarnelUtilities::ParseBillboardType, "ParseBillboardType", "billboard type", "oriented"},
        {TarnelUtilities::ParseBillboardOrigin, "ParseBillboardOrigin", "billboard origin", "middle"},
        {TarnelUtilities::ParseBillboardRotationType, "ParseBillboardRotationType", "billboard rotation type", "uv"},
        {TarnelUtilities::ParseHardwareBufferUsage, "ParseHardwareBufferUsage", "hardware buffer usage", "fast"},
        {TarnelUtilities::ParseHardwareBufferUsage, "ParseHardwareBufferUsage", "hardware buffer usage",
         "static_write_only"},
        {TarnelUtilities::ParseTransformSpace, "ParseTransformSpace", "transform space", "Global"},
        {TarnelUtilities::ParseBoundingVolumeType, "ParseBoundingVolumeType", "bounding volume type", ""},
        {TarnelUtilities::ParseShadowTechnique, "ParseShadowTechnique", "shadow technique", "stencil"},
        {TarnelUtilities::ParseUpAxis, "ParseUpAxis", "up axis", "x"},
        {TarnelUtilities::ParseAnimationInterpolationMode, "ParseAnimationInterpolationMode",
         "animation interpolation mode", "cubic"},
        {TarnelUtilities::ParseAnimationRotationInterpolationMode, "ParseAnimationRotationInterpolationMode",
         "animation rotation interpolation mode", "spline"},
        {TarnelUtilities::ParseTextureType, "ParseTextureType", "texture type", "cube"},
        {TarnelUtilities::ParseRenderQueue, "ParseRenderQueue", "render queue", "queue5"},
        {TarnelUtilities::ParseRenderQueue, "ParseRenderQueue", "render queue", "main "}, // trimmed only around "+"
        {TarnelUtilities::ParseRenderQueue, "ParseRenderQueue", "render queue", "-1"},
    };
    for (const auto& c : cases)
    {
        const String refusal = String("Invalid ") + c.kind + " specified: " + c.text;
        EXPECT_UTILITIES_ERROR(c.parse(c.text), InvalidParametersException, refusal,
                               String("TarnelUtilities::") + c.source);
        // The words offered as close matches are the parser's own: each of them parses.
        const std::vector<String> offered = TarnelUtilities::KeywordsRefusing(refusal);
        EXPECT_EQ(offered.empty(), String(c.source) == "ParseRenderQueue") << refusal;
        for (const String& keyword : offered)
            EXPECT_NO_THROW(c.parse(keyword)) << keyword;
    }
}

TEST(LenientParsers, UnknownTextGivesZero)
{
    EXPECT_EQ(FOG_EXP, TarnelUtilities::ParseFogMode("exp"));
    EXPECT_EQ(FOG_EXP2, TarnelUtilities::ParseFogMode("EXP2"));
    EXPECT_EQ(FOG_LINEAR, TarnelUtilities::ParseFogMode("Linear"));
    EXPECT_EQ(FOG_NONE, TarnelUtilities::ParseFogMode("exponential"));
    EXPECT_EQ(FOG_NONE, TarnelUtilities::ParseFogMode(""));
    EXPECT_EQ(Tarnel::OBJECT_VISIBLE, TarnelUtilities::ParseObjectVisibility("Visible"));
    EXPECT_EQ(Tarnel::OBJECT_HIDDEN, TarnelUtilities::ParseObjectVisibility("hidden"));
    EXPECT_EQ(Tarnel::OBJECT_TREE_VISIBLE, TarnelUtilities::ParseObjectVisibility("treeVisible"));
    EXPECT_EQ(Tarnel::OBJECT_TREE_HIDDEN, TarnelUtilities::ParseObjectVisibility("TreeHidden"));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::ParseObjectVisibility(""));
    EXPECT_EQ(Tarnel::OBJECT_VISIBILITY_DEFAULT, TarnelUtilities::ParseObjectVisibility("tree hidden"));
    // Only "false", in any case, and the empty text are false.
    for (const char* text : {"", "false", "FALSE", "False", "no", "0"})
        EXPECT_FALSE(TarnelUtilities::ParseBool(text)) << '"' << text << '"';
    for (const char* text : {"No", "NO", "true", "yes", "1", "2", "off", " false", "00"})
        EXPECT_TRUE(TarnelUtilities::ParseBool(text)) << '"' << text << '"';
}

TEST(RenderQueue, NumbersAndNamesWithOffsets)
{
    const std::pair<const char*, int> cases[] = {
        {"", 50}, {"90", 90}, {"090", 90}, {"main+08", 58}, // decimal, not octal
        {"300", 44}, {"200", 200},                           // low 8 bits, not limited to the last named queue
        {"background", 0}, {"SkiesEarly", 5}, {"worldgeometry1", 25}, {"worldgeometry2", 75}, {"queue6", 60},
        {"max", 105}, {"main+2", 52}, {" Main + 2 ", 52}, {"skieslate+5", 100}, {"overlay+10", 105},
        // The offset keeps its low 8 bits and the sum wraps before the limit applies.
        {"main+257", 51}, {"max+151", 0}};
    for (const auto& [text, queue] : cases)
        EXPECT_EQ(queue, TarnelUtilities::ParseRenderQueue(text)) << '"' << text << '"';
}

TEST(PixelFormat, ExactlyTheFormatNames)
{
    const std::pair<const char*, PixelFormat> formats[] = {
        {"PF_L8", PF_L8}, {"PF_L16", PF_L16}, {"PF_A8", PF_A8}, {"PF_A4L4", PF_BYTE_LA},
        {"PF_BYTE_LA", PF_BYTE_LA}, {"PF_R5G6B5", PF_R5G6B5}, {"PF_B5G6R5", PF_B5G6R5},
        {"PF_R3G3B2", PF_R3G3B2}, {"PF_A4R4G4B4", PF_A4R4G4B4}, {"PF_A1R5G5B5", PF_A1R5G5B5},
        {"PF_R8G8B8", PF_R8G8B8}, {"PF_B8G8R8", PF_B8G8R8}, {"PF_A8R8G8B8", PF_A8R8G8B8},
        {"PF_A8B8G8R8", PF_A8B8G8R8}, {"PF_B8G8R8A8", PF_B8G8R8A8}, {"PF_R8G8B8A8", PF_R8G8B8A8},
        {"PF_X8R8G8B8", PF_X8R8G8B8}, {"PF_X8B8G8R8", PF_X8B8G8R8}, {"PF_A2R10G10B10", PF_A2R10G10B10},
        {"PF_A2B10G10R10", PF_A2B10G10R10}, {"PF_FLOAT16_R", PF_FLOAT16_R},
        {"PF_FLOAT16_RGB", PF_FLOAT16_RGB}, {"PF_FLOAT16_RGBA", PF_FLOAT16_RGBA},
        {"PF_FLOAT32_R", PF_FLOAT32_R}, {"PF_FLOAT32_RGB", PF_FLOAT32_RGB},
        {"PF_FLOAT32_RGBA", PF_FLOAT32_RGBA}, {"PF_FLOAT16_GR", PF_FLOAT16_GR},
        {"PF_FLOAT32_GR", PF_FLOAT32_GR}, {"PF_DEPTH", PF_DEPTH}, {"PF_SHORT_RGBA", PF_SHORT_RGBA},
        {"PF_SHORT_GR", PF_SHORT_GR}, {"PF_SHORT_RGB", PF_SHORT_RGB}};
    for (const auto& [name, format] : formats)
        EXPECT_EQ(format, TarnelUtilities::ParsePixelFormat(name)) << name;
    for (const char* rejected : {"pf_a8r8g8b8", "PF_UNKNOWN", "PF_DXT1", "PF_BYTE_RGBA", " PF_L8", ""})
        EXPECT_UTILITIES_ERROR(TarnelUtilities::ParsePixelFormat(rejected), InvalidParametersException,
                               String("Invalid pixel format specified: ") + rejected,
                               "TarnelUtilities::ParsePixelFormat");
}
