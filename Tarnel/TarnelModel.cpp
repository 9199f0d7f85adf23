// Model files, read once into descriptions: the node and object elements of a scene, recorded.
#include "Tarnel/TarnelModel.h"
#include "Tarnel/TarnelDomains.h"
#include "Tarnel/TarnelExcept.h"
#include "Tarnel/TarnelObjects.h"
#include "Tarnel/TarnelDocuments.h"
#include "Tarnel/TarnelReaders.h"

#include <tinyxml.h>

using namespace Ogre;
using namespace Tarnel::Objects;

namespace Tarnel
{
    namespace
    {
        const char* const MODEL_SOURCE_FILE = "Tarnel/TarnelModel";

        /// A new description with the name and the attributes every object has.
        template <typename Record> std::unique_ptr<Record> BeginRecord(const TiXmlElement* element)
        {
            auto record = std::make_unique<Record>();
            record->name = Readers::GetStringAttribute(element, "name");
            ReadCommonAttributes(element, *record);
            return record;
        }

        /// Extra data of its own for the description, after the kind's attributes.
        Types::ObjectExtraData& BeginExtraData(const TiXmlElement* element, Types::ObjectParameters& record)
        {
            record.extraData = std::make_shared<Types::ObjectExtraData>();
            record.extraData->id = Readers::GetStringAttribute(element, "id");
            return *record.extraData;
        }

        /** A particle system, billboard set or plane: attributes, extra data with its
            shadow flag, then the children, the kind's own by the given reader. */
        template <typename Record>
        std::unique_ptr<Types::ObjectParameters> LoadShadowReceiver(
            const TiXmlElement* element, void (*readAttributes)(const TiXmlElement*, Record&),
            bool (*loadChild)(const TiXmlElement*, Record&))
        {
            auto record = BeginRecord<Record>(element);
            readAttributes(element, *record);
            Types::ObjectExtraData& extraData = BeginExtraData(element, *record);
            // False here, where the scene reader has true.
            extraData.receiveShadows = Readers::GetBoolAttribute(element, "receiveShadows", false);
            for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            {
                if (!LoadExtraDataChild(child, extraData) && loadChild)
                    loadChild(child, *record);
            }
            return record;
        }
    }

    void TarnelModel::Load(const String& fileName, const String& resourceGroupName)
    {
        TiXmlDocument document;
        Documents::LoadXmlDocument(fileName, document, resourceGroupName);
        const TiXmlElement* root = document.FirstChildElement();
        if (!root)
            TARNEL_EXCEPT(Exception::ERR_INVALID_STATE, "Unable to load Tarnel model file: " + fileName,
                          "TarnelModel::Load", MODEL_SOURCE_FILE);
        LoadNode(root, rootNode);
    }

    void TarnelModel::LoadNode(const TiXmlElement* element, NodeParameters& node)
    {
        node.name = Readers::GetStringAttribute(element, "name");
        node.modelFile = Readers::GetStringAttribute(element, "modelFile");
        if (node.modelFile.empty())
            node.modelFile = Readers::GetStringAttribute(element, "modelName");
        node.visibility = Readers::GetObjectVisibilityAttribute(element);
        // Sized first and filled in place: a node owns its objects and is never copied.
        node.childNodes = std::vector<NodeParameters>(Documents::GetChildElementCount(element, "node"));
        Types::ObjectExtraData extraData;
        extraData.id = Readers::GetStringAttribute(element, "id");

        size_t childIndex = 0;
        // Looks and tracks, instances and portals are the scene's own; they are skipped here.
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (Readers::LoadUserDataElement(child, extraData))
                continue;
            if (name == "position")
                node.position = Readers::LoadXYZ(child);
            else if (name == "rotation")
                node.orientation = Readers::LoadRotation(child);
            else if (name == "scale")
                node.scale = Readers::LoadScale(child);
            else if (name == "node")
                LoadNode(child, node.childNodes[childIndex++]);
            else if (name == "animations")
                LoadNodeAnimations(child, node.animations);
            else if (std::unique_ptr<Types::ObjectParameters> object = LoadObject(child))
                node.objects.push_back(std::move(object));
        }
        if (extraData.HasUserData())
            node.extraData = std::make_shared<Types::ObjectExtraData>(extraData);
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadObject(const TiXmlElement* element)
    {
        std::string_view kind = element->ValueStr();
        if (kind == "entity")
            return LoadEntity(element);
        if (kind == "light")
            return LoadLight(element);
        if (kind == "camera")
            return LoadCamera(element);
        if (kind == "particleSystem")
            return LoadParticleSystem(element);
        if (kind == "billboardSet")
            return LoadBillboardSet(element);
        if (kind == "plane")
            return LoadPlane(element);
        return nullptr;
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadEntity(const TiXmlElement* element)
    {
        auto entity = BeginRecord<Types::EntityParameters>(element);
        ReadEntityAttributes(element, *entity);
        Types::ObjectExtraData& extraData = BeginExtraData(element, *entity);
        extraData.receiveShadows = Readers::GetBoolAttribute(element, "receiveShadows", false);

        const TiXmlElement* boneAttachments = nullptr;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (LoadExtraDataChild(child, extraData) || LoadEntityChild(child, *entity))
                continue;
            if (child->ValueStr() == "boneAttachments")
                boneAttachments = child;
        }
        // Only the last of them, after every other child.
        if (boneAttachments)
            LoadBoneAttachments(boneAttachments, *entity);
        return entity;
    }

    void TarnelModel::LoadBoneAttachments(const TiXmlElement* element, Types::EntityParameters& entity)
    {
        // Sized first: an attachment owns its object and is never copied.
        entity.boneAttachments = std::vector<Types::BoneAttachment>(
            Documents::GetChildElementCount(element, "boneAttachment"));
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("boneAttachment"); child;
             child = child->NextSiblingElement("boneAttachment"))
            LoadBoneAttachment(child, entity.boneAttachments[index++]);
    }

    void TarnelModel::LoadBoneAttachment(const TiXmlElement* element, Types::BoneAttachment& attachment)
    {
        attachment.name = Readers::GetStringAttribute(element, "name");
        attachment.boneName = Readers::GetStringAttribute(element, "bone");
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            if (LoadAttachmentOffset(child, attachment.attachPosition, attachment.attachRotation, attachment.attachScale))
                continue;
            // One object: the last stays.
            if (std::unique_ptr<Types::ObjectParameters> object = LoadObject(child))
                attachment.object = std::move(object);
        }
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadLight(const TiXmlElement* element)
    {
        auto light = BeginRecord<Types::LightParameters>(element);
        ReadLightAttributes(element, *light, false);
        Types::ObjectExtraData& extraData = BeginExtraData(element, *light);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (LoadExtraDataChild(child, extraData))
                continue;
            if (name == "colourDiffuse")
                light->diffuseColor = Readers::LoadColor(child);
            else if (name == "colourSpecular")
                light->specularColor = Readers::LoadColor(child);
            else if (name == "lightRange" && light->lightType == Light::LT_SPOTLIGHT)
                ReadLightRange(child, light->spotlightInnerAngle, light->spotlightOuterAngle, light->spotlightFalloff);
            else if (name == "lightAttenuation")
                ReadLightAttenuation(child, light->attenuationRange, light->attenuationConstant,
                                     light->attenuationLinear, light->attenuationQuadric);
            else if (name == "position")
                light->position = Readers::LoadXYZ(child);
            else if (name == "normal")
                light->direction = Domains::Direction(child, Readers::LoadXYZ(child), light->direction);
        }
        return light;
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadCamera(const TiXmlElement* element)
    {
        auto camera = BeginRecord<Types::CameraParameters>(element);
        ReadCameraAttributes(element, *camera);
        Types::ObjectExtraData& extraData = BeginExtraData(element, *camera);
        // A model's camera has no look or track requests.
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        {
            std::string_view name = child->ValueStr();
            if (LoadExtraDataChild(child, extraData))
                continue;
            if (name == "clipping")
                Readers::LoadClipping(child, camera->nearClip, camera->farClip);
            else if (name == "position")
                camera->position = Readers::LoadXYZ(child);
            else if (name == "rotation")
                camera->orientation = Readers::LoadRotation(child);
            else if (name == "normal")
                camera->direction = Domains::Direction(child, Readers::LoadXYZ(child), camera->direction);
        }
        return camera;
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadParticleSystem(const TiXmlElement* element)
    {
        return LoadShadowReceiver<Types::ParticleSystemParameters>(element, &ReadParticleSystemAttributes, nullptr);
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadBillboardSet(const TiXmlElement* element)
    {
        return LoadShadowReceiver<Types::BillboardSetParameters>(element, &ReadBillboardSetAttributes,
                                                                 &LoadBillboardSetChild);
    }

    std::unique_ptr<Types::ObjectParameters> TarnelModel::LoadPlane(const TiXmlElement* element)
    {
        auto plane = LoadShadowReceiver<Types::PlaneParameters>(element, &ReadPlaneAttributes, &LoadPlaneChild);
        static_cast<Types::PlaneParameters&>(*plane).planeName = plane->name;
        return plane;
    }

    void TarnelModel::LoadNodeAnimations(const TiXmlElement* element,
                                         std::vector<Types::NodeAnimationParameters>& animations)
    {
        // A second animations element reads over the first, from its first entry.
        animations.resize(Documents::GetChildElementCount(element, "animation"));
        size_t index = 0;
        for (const TiXmlElement* child = element->FirstChildElement("animation"); child;
             child = child->NextSiblingElement("animation"))
            LoadNodeAnimation(child, animations[index++]);
    }

    void TarnelModel::LoadNodeAnimation(const TiXmlElement* element, Types::NodeAnimationParameters& animation)
    {
        animation.name = Readers::GetStringAttribute(element, "name");
        ReadNodeAnimationShape(element, animation);
        animation.enabled = Readers::GetBoolAttribute(element, "enable", true);
        animation.looping = Readers::GetBoolAttribute(element, "loop", true);
        animation.keyFrames.clear();
        for (const TiXmlElement* child = element->FirstChildElement("keyframe"); child;
             child = child->NextSiblingElement("keyframe"))
            animation.keyFrames.push_back(ReadKeyFrame(child));
    }
}
