// The attributes and children of object elements, read into descriptions.
#include "Tarnel/Read/TarnelObjects.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelReaders.h"

#include <OgreAnimation.h>
#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreLight.h>
#include <OgreLogManager.h>

#include <tinyxml.h>

using namespace Ogre;

namespace Tarnel
{
    void Objects::ReadCommonAttributes(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        enum { QUERY_FLAGS, VISIBILITY_FLAGS, VISIBLE };
        TarnelUtilities::Attributes attributes(element, {"queryFlags", "visibilityFlags", "visible"});
        parameters.queryFlags = attributes.UInt(QUERY_FLAGS, 0);
        parameters.visibilityFlags = attributes.UInt(VISIBILITY_FLAGS, 0);
        parameters.visibility = attributes.Visible(VISIBLE);
    }

    void Objects::ReadQueueAndDistance(const TiXmlElement* element, Types::ObjectParameters& parameters)
    {
        enum { RENDER_QUEUE, RENDERING_DISTANCE };
        TarnelUtilities::Attributes attributes(element, {"renderQueue", "renderingDistance"});
        parameters.renderQueue = Domains::RenderQueue(element, "renderQueue", attributes.String(RENDER_QUEUE));
        parameters.renderingDistance = attributes.Real(RENDERING_DISTANCE, 0);
    }

    bool Objects::LoadExtraDataChild(const TiXmlElement* child, Types::ObjectExtraData& extraData)
    {
        if (TarnelUtilities::LoadUserDataElement(child, extraData))
            return true;
        if (child->ValueStr() != "noteTracks")
            return false;
        extraData.noteTracks = std::make_shared<Types::NoteTracks>();
        TarnelUtilities::LoadNoteTracks(child, *extraData.noteTracks);
        return true;
    }

    Objects::TransformPart Objects::LoadTransformChild(const TiXmlElement* child, Vector3& position,
                                                       Quaternion& rotation, Vector3& scale)
    {
        std::string_view name = child->ValueStr();
        if (name == "position")
            position = TarnelUtilities::LoadXYZ(child);
        else if (name == "rotation")
            rotation = TarnelUtilities::LoadRotation(child);
        else if (name == "scale")
            scale = TarnelUtilities::LoadScale(child);
        else
            return NO_TRANSFORM;
        return name == "position" ? POSITION : name == "rotation" ? ROTATION : SCALE;
    }

    void Objects::ReadEntityAttributes(const TiXmlElement* element, Types::EntityParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.meshFile = ReadMeshFile(element);
        enum { MATERIAL_FILE, CAST_SHADOWS };
        TarnelUtilities::Attributes attributes(element, {"materialFile", "castShadows"});
        parameters.materialFile = attributes.String(MATERIAL_FILE);
        parameters.castShadows = attributes.Bool(CAST_SHADOWS, true);
    }

    bool Objects::LoadEntityChild(const TiXmlElement* child, Types::EntityParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "vertexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
        else if (name == "indexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else if (name == "subentities")
            TarnelUtilities::LoadSubentities(child, parameters.subentities);
        else
            return false;
        return true;
    }

    void Objects::ReadLightAttributes(const TiXmlElement* element, Types::LightParameters& parameters,
                                      bool castShadowsDefault)
    {
        parameters.lightType = TarnelUtilities::ParseLightType(TarnelUtilities::GetStringAttribute(element, "type", "point"));
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", castShadowsDefault);
        parameters.power = TarnelUtilities::GetRealAttribute(element, "power", 1);
    }

    void Objects::LoadLightRange(const TiXmlElement* element, Radian& inner, Radian& outer, Real& falloff)
    {
        inner = Domains::SpotlightAngle(element, "inner",
                                        TarnelUtilities::GetRealAttribute(element, "inner", inner.valueRadians()), inner);
        outer = Domains::SpotlightAngle(element, "outer",
                                        TarnelUtilities::GetRealAttribute(element, "outer", outer.valueRadians()), outer);
        falloff = TarnelUtilities::GetRealAttribute(element, "falloff", falloff);
    }

    void Objects::LoadLightAttenuation(const TiXmlElement* element, Real& range, Real& constant, Real& linear,
                                       Real& quadric)
    {
        range = Domains::Positive(element, "range", TarnelUtilities::GetRealAttribute(element, "range", range), range);
        constant = Domains::NotNegative(element, "constant",
                                        TarnelUtilities::GetRealAttribute(element, "constant", constant), constant);
        linear = Domains::NotNegative(element, "linear", TarnelUtilities::GetRealAttribute(element, "linear", linear),
                                      linear);
        quadric = Domains::NotNegative(element, "quadric",
                                       TarnelUtilities::GetRealAttribute(element, "quadric", quadric), quadric);
    }

    void Objects::ReadCameraAttributes(const TiXmlElement* element, Types::CameraParameters& parameters)
    {
        parameters.fovy = Domains::FieldOfView(element, "fov", TarnelUtilities::GetRealAttribute(element, "fov", Math::HALF_PI),
                                               Radian(Math::HALF_PI));
        parameters.aspectRatio = Domains::AspectRatio(
            element, "aspectRatio", TarnelUtilities::GetRealAttribute(element, "aspectRatio", 1.33f), 1.33f);
        parameters.projectionType =
            TarnelUtilities::ParseProjectionType(TarnelUtilities::GetStringAttribute(element, "type", "perspective"));
    }

    void Objects::ReadParticleSystemAttributes(const TiXmlElement* element, Types::ParticleSystemParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.file = TarnelUtilities::GetStringAttribute(element, "file");
    }

    void Objects::ReadBillboardSetAttributes(const TiXmlElement* element, Types::BillboardSetParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        // A set of negative size has inverted bounds.
        parameters.width = Domains::NotNegative(element, "width", TarnelUtilities::GetRealAttribute(element, "width", 10), 10);
        parameters.height =
            Domains::NotNegative(element, "height", TarnelUtilities::GetRealAttribute(element, "height", 10), 10);
        parameters.billboardType =
            TarnelUtilities::ParseBillboardType(TarnelUtilities::GetStringAttribute(element, "type", "point"));
        parameters.billboardOrigin =
            TarnelUtilities::ParseBillboardOrigin(TarnelUtilities::GetStringAttribute(element, "origin", "center"));
        parameters.billboardRotationType = TarnelUtilities::ParseBillboardRotationType(
            TarnelUtilities::GetStringAttribute(element, "rotationType", "vertex"));
        parameters.poolSize = TarnelUtilities::GetUIntAttribute(element, "poolSize", 0);
        TarnelUtilities::CheckRange(parameters.poolSize, 0, Limits::MAX_BILLBOARD_POOL_SIZE,
                                    "The poolSize of billboard set " + parameters.name, "Objects::ReadBillboardSetAttributes");
        parameters.autoExtendPool = TarnelUtilities::GetBoolAttribute(element, "autoExtendPool", true);
        parameters.cullIndividual = TarnelUtilities::GetBoolAttribute(element, "cullIndividual", false);
        parameters.sort = TarnelUtilities::GetBoolAttribute(element, "sort", false);
        parameters.accurateFacing = TarnelUtilities::GetBoolAttribute(element, "accurateFacing", false);
    }

    bool Objects::LoadBillboardSetChild(const TiXmlElement* child, Types::BillboardSetParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "billboard")
            parameters.billboards.push_back(LoadBillboard(child));
        else if (name == "commonDirection")
            parameters.commonDirection = TarnelUtilities::LoadXYZ(child);
        else if (name == "commonUpVector")
            parameters.commonUpVector = TarnelUtilities::LoadXYZ(child);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else
            return false;
        return true;
    }

    Types::Billboard Objects::LoadBillboard(const TiXmlElement* element)
    {
        Types::Billboard billboard;
        billboard.width = TarnelUtilities::GetRealAttribute(element, "width", 0);
        billboard.height = TarnelUtilities::GetRealAttribute(element, "height", 0);
        billboard.rotation = Radian(TarnelUtilities::GetRealAttribute(element, "rotation", 0));
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name == "position")
                billboard.position = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
            {
                // A billboard turns only about its facing axis: the angle counts, the axis does not.
                Vector3 axis;
                TarnelUtilities::LoadRotation(child).ToAngleAxis(billboard.rotation, axis);
            }
            else if (name == "colourDiffuse")
                billboard.color = TarnelUtilities::LoadColor(child);
            else if (name == "texCoordRectangle")
                billboard.texCoordRectangle = TarnelUtilities::LoadFloatRectangle(child);
        }
        return billboard;
    }

    void Objects::ReadPlaneAttributes(const TiXmlElement* element, Types::PlaneParameters& parameters)
    {
        ReadQueueAndDistance(element, parameters);
        parameters.distance = TarnelUtilities::GetRealAttribute(element, "distance", 0);
        parameters.width = TarnelUtilities::GetRealAttribute(element, "width", 10);
        parameters.height = TarnelUtilities::GetRealAttribute(element, "height", 10);
        parameters.xSegments = TarnelUtilities::GetIntAttribute(element, "xSegments", 1);
        parameters.ySegments = TarnelUtilities::GetIntAttribute(element, "ySegments", 1);
        parameters.numTexCoordSets = TarnelUtilities::GetIntAttribute(element, "numTexCoordSets", 1);
        TarnelUtilities::CheckSegments(parameters.xSegments, parameters.ySegments, "plane " + parameters.name,
                                       "Objects::ReadPlaneAttributes");
        TarnelUtilities::CheckRange(parameters.numTexCoordSets, 0, Limits::MAX_TEXTURE_COORD_SETS,
                                    "The numTexCoordSets of plane " + parameters.name,
                                    "Objects::ReadPlaneAttributes");
        parameters.uTile = TarnelUtilities::GetRealAttribute(element, "uTile", 1);
        parameters.vTile = TarnelUtilities::GetRealAttribute(element, "vTile", 1);
        parameters.material = TarnelUtilities::GetStringAttribute(element, "material");
        parameters.normals = TarnelUtilities::GetBoolAttribute(element, "normals", true);
        parameters.movablePlane = TarnelUtilities::GetBoolAttribute(element, "movablePlane", true);
        parameters.castShadows = TarnelUtilities::GetBoolAttribute(element, "castShadows", true);
    }

    bool Objects::LoadPlaneChild(const TiXmlElement* child, Types::PlaneParameters& parameters)
    {
        std::string_view name = child->ValueStr();
        if (name == "normal")
            parameters.normal = TarnelUtilities::LoadXYZ(child);
        else if (name == "upVector")
            parameters.upVector = TarnelUtilities::LoadXYZ(child);
        else if (name == "vertexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.vertexBufferUsage, parameters.vertexBufferShadowed);
        else if (name == "indexBuffer")
            TarnelUtilities::LoadBufferUsage(child, parameters.indexBufferUsage, parameters.indexBufferShadowed);
        else if (name == "customParameters")
            TarnelUtilities::LoadCustomParameters(child, parameters.customParameters);
        else
            return false;
        return true;
    }

    void Objects::ReadNodeAnimationShape(const TiXmlElement* element, Types::NodeAnimationParameters& parameters)
    {
        parameters.length = TarnelUtilities::GetRealAttribute(element, "length", 0);
        if (parameters.length < 0)
            Domains::Warn(element, "length", "which is below 0", "the animation stays at its start");
        String mode = TarnelUtilities::GetStringAttribute(element, "interpolationMode");
        if (!mode.empty())
            parameters.interpolationMode = TarnelUtilities::ParseAnimationInterpolationMode(mode);
        String rotationMode = TarnelUtilities::GetStringAttribute(element, "rotationInterpolationMode");
        if (!rotationMode.empty())
            parameters.rotationInterpolationMode = TarnelUtilities::ParseAnimationRotationInterpolationMode(rotationMode);
    }

    Types::KeyFrameParameters Objects::LoadNodeAnimationKeyFrame(const TiXmlElement* element)
    {
        Types::KeyFrameParameters keyFrame;
        keyFrame.time = TarnelUtilities::GetRealAttribute(element, "time", 0);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (name == "translation")
                keyFrame.translation = TarnelUtilities::LoadXYZ(child);
            else if (name == "rotation")
            {
                // Nodes take rotations of any length, but key frames are blended as they are.
                keyFrame.rotation = TarnelUtilities::LoadRotation(child);
                keyFrame.rotation.normalise();
            }
            else if (name == "scale")
                keyFrame.scale = TarnelUtilities::LoadScale(child);
        }
        return keyFrame;
    }
}
