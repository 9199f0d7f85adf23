#include "Tarnel/TarnelUtilities.h"
#include "support/Xml.h"

using namespace Ogre;
using Tarnel::TarnelUtilities;

namespace
{
    // Every keyword in upper case must parse like the lower-case keyword.
    template <typename T>
    void ExpectKeywords(T (*parse)(const String&), std::initializer_list<std::pair<const char*, int>> table)
    {
        for (const auto& entry : table)
        {
            String upper = entry.first;
            StringUtil::toUpperCase(upper);
            EXPECT_EQ(entry.second, int(parse(entry.first))) << entry.first;
            EXPECT_EQ(entry.second, int(parse(upper))) << upper;
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

TEST(StrictParsers, MixedCaseIsAccepted)
{
    EXPECT_EQ(Light::LT_SPOTLIGHT, TarnelUtilities::ParseLightType("Spot"));
    EXPECT_EQ(SHADOWTYPE_TEXTURE_MODULATIVE_INTEGRATED,
              TarnelUtilities::ParseShadowTechnique("TextureModulativeIntegrated"));
    EXPECT_EQ(Tarnel::UP_AXIS_Y, TarnelUtilities::ParseUpAxis("Y"));
}

TEST(StrictParsers, UnknownTextRaisesWithTheTextAsWritten)
{
    const struct
    {
        std::function<void()> parse;
        const char* description;
        const char* source;
    } cases[] = {
        {[] { TarnelUtilities::ParseLightType("Spotlight"); }, "Invalid light type specified: Spotlight",
         "ParseLightType"},
        {[] { TarnelUtilities::ParseProjectionType("ortho"); }, "Invalid projection type specified: ortho",
         "ParseProjectionType"},
        {[] { TarnelUtilities::ParseBillboardType("oriented"); }, "Invalid billboard type specified: oriented",
         "ParseBillboardType"},
        {[] { TarnelUtilities::ParseBillboardOrigin("middle"); }, "Invalid billboard origin specified: middle",
         "ParseBillboardOrigin"},
        {[] { TarnelUtilities::ParseBillboardRotationType("uv"); }, "Invalid billboard rotation type specified: uv",
         "ParseBillboardRotationType"},
        {[] { TarnelUtilities::ParseHardwareBufferUsage("static_write_only"); },
         "Invalid hardware buffer usage specified: static_write_only", "ParseHardwareBufferUsage"},
        {[] { TarnelUtilities::ParseTransformSpace("Global"); }, "Invalid transform space specified: Global",
         "ParseTransformSpace"},
        {[] { TarnelUtilities::ParseShadowTechnique("stencil"); }, "Invalid shadow technique specified: stencil",
         "ParseShadowTechnique"},
        {[] { TarnelUtilities::ParseUpAxis("x"); }, "Invalid up axis specified: x", "ParseUpAxis"},
        {[] { TarnelUtilities::ParseAnimationInterpolationMode("cubic"); },
         "Invalid animation interpolation mode specified: cubic", "ParseAnimationInterpolationMode"},
        {[] { TarnelUtilities::ParseAnimationRotationInterpolationMode("spline"); },
         "Invalid animation rotation interpolation mode specified: spline", "ParseAnimationRotationInterpolationMode"},
        {[] { TarnelUtilities::ParseTextureType("cube"); }, "Invalid texture type specified: cube", "ParseTextureType"},
    };
    for (const auto& parser : cases)
    {
        EXPECT_UTILITIES_ERROR(parser.parse(), InvalidParametersException, parser.description,
                               std::string("TarnelUtilities::") + parser.source);
    }
}

TEST(StrictParsers, EmptyTextIsAnErrorNotADefault)
{
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseBoundingVolumeType(""), InvalidParametersException,
                           "Invalid bounding volume type specified: ",
                           "TarnelUtilities::ParseBoundingVolumeType");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseLightType(""), InvalidParametersException, "Invalid light type specified: ", "TarnelUtilities::ParseLightType");
}

TEST(StrictParsers, KeywordsAreNotTrimmed)
{
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseLightType(" point"), InvalidParametersException,
                           "Invalid light type specified:  point",
                           "TarnelUtilities::ParseLightType");
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
}

TEST(RenderQueue, NumbersKeepTheirLowEightBits)
{
    EXPECT_EQ(50, TarnelUtilities::ParseRenderQueue(""));
    EXPECT_EQ(90, TarnelUtilities::ParseRenderQueue("90"));
    EXPECT_EQ(44, TarnelUtilities::ParseRenderQueue("300"));
    EXPECT_EQ(90, TarnelUtilities::ParseRenderQueue("090")) << "decimal, not octal";
    EXPECT_EQ(58, TarnelUtilities::ParseRenderQueue("main+08"));
    // A plain number is not limited to the last named queue.
    EXPECT_EQ(200, TarnelUtilities::ParseRenderQueue("200"));
}

TEST(RenderQueue, NamesWithOffsets)
{
    EXPECT_EQ(0, TarnelUtilities::ParseRenderQueue("background"));
    EXPECT_EQ(5, TarnelUtilities::ParseRenderQueue("SkiesEarly"));
    EXPECT_EQ(25, TarnelUtilities::ParseRenderQueue("worldgeometry1"));
    EXPECT_EQ(75, TarnelUtilities::ParseRenderQueue("worldgeometry2"));
    EXPECT_EQ(60, TarnelUtilities::ParseRenderQueue("queue6"));
    EXPECT_EQ(105, TarnelUtilities::ParseRenderQueue("max"));
    EXPECT_EQ(52, TarnelUtilities::ParseRenderQueue("main+2"));
    EXPECT_EQ(52, TarnelUtilities::ParseRenderQueue(" Main + 2 "));
    EXPECT_EQ(100, TarnelUtilities::ParseRenderQueue("skieslate+5"));
    EXPECT_EQ(105, TarnelUtilities::ParseRenderQueue("overlay+10"));
    // The offset keeps its low 8 bits and the sum wraps before the limit applies.
    EXPECT_EQ(51, TarnelUtilities::ParseRenderQueue("main+257"));
    EXPECT_EQ(0, TarnelUtilities::ParseRenderQueue("max+151"));
}

TEST(RenderQueue, UnknownNamesRaise)
{
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseRenderQueue("queue5"), InvalidParametersException,
                           "Invalid render queue specified: queue5",
                           "TarnelUtilities::ParseRenderQueue");
    // Without "+" the name is not trimmed.
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseRenderQueue("main "), InvalidParametersException,
                           "Invalid render queue specified: main ",
                           "TarnelUtilities::ParseRenderQueue");
    EXPECT_UTILITIES_ERROR(TarnelUtilities::ParseRenderQueue("-1"), InvalidParametersException,
                           "Invalid render queue specified: -1",
                           "TarnelUtilities::ParseRenderQueue");
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
    EXPECT_EQ(32u, sizeof(formats) / sizeof(formats[0]));
    for (const auto& format : formats)
        EXPECT_EQ(format.second, TarnelUtilities::ParsePixelFormat(format.first)) << format.first;

    for (const char* rejected : {"pf_a8r8g8b8", "PF_UNKNOWN", "PF_DXT1", "PF_BYTE_RGBA", " PF_L8", ""})
    {
        EXPECT_UTILITIES_ERROR(TarnelUtilities::ParsePixelFormat(rejected), InvalidParametersException,
                               String("Invalid pixel format specified: ") + rejected,
                               "TarnelUtilities::ParsePixelFormat");
    }
}
