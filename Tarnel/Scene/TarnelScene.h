#ifndef TARNEL_SCENE_H
#define TARNEL_SCENE_H

#include "Tarnel/Scene/MovableObjectOwner.h"
#include "Tarnel/Read/TarnelIndex.h"
#include "Tarnel/Scene/TarnelRenderWindowIterator.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelSections.h"
#include "Tarnel/Read/Types.h"

#include <OgreColourValue.h>
#include <OgreCommon.h>
#include <OgreMovableObject.h>
#include <OgreNode.h>
#include <OgrePlane.h>
#include <OgreRenderTargetListener.h>
#include <OgreTexture.h>

#include <array>
#include <map>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

namespace Ogre
{
    class AnimationState;
    class MovablePlane;
    class NodeAnimationTrack;
    class PCZone;
    class Portal;
    class RenderSystemCapabilities;
}

namespace Tarnel
{
    class TarnelInstancedGeometry;
    class TarnelModel;

    using Types::LookTarget;
    using Types::TrackTarget;

    /** A texture the engine renders into, as its description says, with what the scene made
        for it. */
    struct RenderTexture : RenderTextureDescription
    {
        Ogre::String resourceGroupName;
        Ogre::TexturePtr texture;
        Ogre::SceneNode* renderObjectNode = nullptr;
        Ogre::MovablePlane* renderPlaneObject = nullptr;
        Ogre::Camera* camera = nullptr;
        std::array<Ogre::Camera*, 6> cubeFaceCameras{};
        /// Holds the cameras of this texture that hang on nothing: the zone manager renders
        /// only from cameras on nodes, from the zone of the node. At the place they render from.
        Ogre::SceneNode* cameraNode = nullptr;
        std::array<Ogre::Viewport*, 6> viewports{};
        std::vector<Ogre::SceneNode*> hiddenNodes;
        std::vector<Ogre::SceneNode*> exclusiveNodes;
        /// The material layers this texture switched projective texturing on for.
        std::vector<Ogre::TextureUnitState*> projectedLayers;
    };

    /// How long each phase of the last load took, in milliseconds.
    struct LoadTimes
    {
        double parse = 0;
        double resources = 0;
        double environment = 0;
        double renderTextures = 0;
        double nodesAndObjects = 0; ///< without the meshes read for them
        double batchedGeometry = 0;
        /// Reading the meshes of the level's entities from their files: the media's share, not the loader's.
        double meshes = 0;
    };

    /** Reads one XML scene document into a portal-connected-zone scene manager.

        Every failure is raised as an engine exception whose source names this
        class; nothing here catches. The scene keeps what it created the names
        of, the extra data of its nodes and objects, and the resource locations
        it registered, until Destroy. */
    class TarnelScene : public Ogre::RenderTargetListener
    {
    public:
        TarnelScene();
        ~TarnelScene() override;

        /** Loads a level for one window: the window is wrapped in a one-window
            iterator that lives only during the call. */
        void Load(const Ogre::String& fileName, Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager,
                  const Ogre::String& defaultResourceGroupName);

        /** Loads a level: from disk when the path exists, else, for a bare name,
            through the resource group. A null scene manager makes one. */
        void Load(const Ogre::String& fileName, TarnelRenderWindowIterator& renderWindows,
                  Ogre::SceneManager* sceneManager, const Ogre::String& defaultResourceGroupName);

        /** Loads a level from a document already parsed from the file at that path, for
            one window: a program that reads the file for itself does not parse it again. */
        void Load(const Ogre::String& fileName, const TiXmlDocument& document, Ogre::RenderWindow* window,
                  Ogre::SceneManager* sceneManager, const Ogre::String& defaultResourceGroupName,
                  const LevelDescription* described = nullptr);

        /** Levels whose exporters repeat names (every entity named after its mesh) load
            when asked: a node or object name seen before gets the first free suffix
            "#2", "#3", ..., and one warning after the load sums the renames up. Off by
            default: a repeated name ends the load. */
        void SetLenientNames(bool lenient) { lenientNames = lenient; }
        /// The names the last load changed, as written and as made, in document order.
        const std::vector<std::pair<Ogre::String, Ogre::String>>& GetRenamed() const { return renamed; }

        /** Releases everything the scene owns: its records and tables, the planes,
            and the render textures with their viewports and face cameras; the other
            engine objects stay with the scene manager. */
        void Destroy();

        /// Around each update of a render texture the scene made: scheme and visibility.
        void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
        void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

        /** The shadow texture size the render system can take: without rendering to
            textures no larger than the windows (the last one decides), and without
            textures of any size the power of two below it. */
        static int FitShadowTextureSize(int size, const Ogre::RenderSystemCapabilities& capabilities,
                                        TarnelRenderWindowIterator& windows);
        /// Largest power of two below the value (half of it for a power of two); 0 gives 0.
        static unsigned int PreviousPowerOfTwo(unsigned int value);

        /// Unit Z for a Z-up document, unit Y otherwise.
        Ogre::Vector3 GetUpAxisVector() const;
        /// The scene manager's node of that name; the engine raises when there is none.
        Ogre::SceneNode* GetSceneNode(const Ogre::String& name) const;

        /** The name for a new object: the name given, else the node's name; raises on a
            duplicate, which lenient names rename instead. */
        Ogre::String GetNewObjectName(const Ogre::String& given, const Ogre::SceneNode* node);
        /// Files the record under its object, else under its node.
        void AddObjectExtraData(const Types::ObjectExtraDataPtr& extraData);
        /// The extra data of a created object or node, or null.
        Types::ObjectExtraDataPtr GetObjectExtraData(const Ogre::MovableObject* object) const;
        Types::ObjectExtraDataPtr GetNodeExtraData(const Ogre::SceneNode* node) const;
        /** The model of that file, read on first request and kept by the name as written;
            a file that fails to load leaves nothing behind and raises. */
        const TarnelModel* GetModel(const Ogre::String& fileName);
        /** Enters a node a model instance made under its own name, which no other node of
            the scene may have; false when one has it. */
        bool AddInstanceNode(Ogre::SceneNode* node);
        /** Says, with the line being built, that the entity is left out because its mesh
            cannot be read; the rest of the level loads. */
        void LeaveOutEntity(const Ogre::String& name, const Ogre::String& meshFile, const Ogre::String& reason);
        /// Each mesh left out so, with the entity that named it, in the order met.
        const std::vector<std::pair<Ogre::String, Ogre::String>>& GetUnreadableMeshes() const
        {
            return unreadableMeshes;
        }
        /// Adds to the time spent reading meshes (a model instance's entities read theirs too).
        void AddMeshReadingTime(double milliseconds) { loadTimes.meshes += milliseconds; }
        /// Keeps a plane mesh a model instance made, to be released with the scene.
        void AddInstancePlaneMesh(const Ogre::String& name, const Ogre::String& resourceGroupName);
        /// The instanced geometry of that name the scene made, or null.
        TarnelInstancedGeometry* GetInstancedGeometry(const Ogre::String& name) const;
        /// The object the scene created under that name, or null.
        Ogre::MovableObject* GetObject(const Ogre::String& name) const;
        /// The state of the node animation of that name, or null.
        Ogre::AnimationState* GetAnimationState(const Ogre::String& name) const;
        /// The movable plane of that name ("<plane>_movable"), or null.
        Ogre::MovablePlane* GetMovablePlane(const Ogre::String& name) const;

        Ogre::SceneManager* GetSceneManager() const { return sceneManager; }
        const Types::ObjectExtraData& GetSceneExtraData() const { return sceneExtraData; }
        const Types::ObjectExtraData& GetTerrainExtraData() const { return terrainExtraData; }
        const Version& GetFormatVersion() const { return formatVersion; }
        const Version& GetMinOgreVersion() const { return minOgreVersion; }
        const Ogre::String& GetAuthor() const { return author; }
        UpAxis GetUpAxis() const { return upAxis; }
        Ogre::Real GetUnitsPerMeter() const { return unitsPerMeter; }
        const Ogre::String& GetUnitType() const { return unitType; }
        const Ogre::String& GetBaseResourceLocation() const { return baseResourceLocation; }
        bool IsLoadedFromFileSystem() const { return loadedFromFileSystem; }
        const ResourceLocations& GetResourceLocations() const { return resourceLocations; }
        const std::vector<FlagAlias>& GetQueryFlagAliases() const { return queryFlagAliases; }
        const std::vector<FlagAlias>& GetVisibilityFlagAliases() const { return visibilityFlagAliases; }
        const std::vector<ExternalItem>& GetExternalItems() const { return externalItems; }
        const Ogre::ColourValue& GetBackgroundColour() const { return backgroundColour; }
        Ogre::Real GetNearClipDistance() const { return nearClipDistance; }
        Ogre::Real GetFarClipDistance() const { return farClipDistance; }
        const FogSettings& GetFog() const { return fog; }
        const std::vector<std::unique_ptr<RenderTexture>>& GetRenderTextures() const { return renderTextures; }
        const Types::ObjectExtraData& GetSkyBoxExtraData() const { return skyBoxExtraData; }
        const Types::ObjectExtraData& GetSkyDomeExtraData() const { return skyDomeExtraData; }
        const Types::ObjectExtraData& GetSkyPlaneExtraData() const { return skyPlaneExtraData; }
        const LoadTimes& GetLoadTimes() const { return loadTimes; }
        /// The portals the scene made, in document order.
        const std::vector<Ogre::Portal*>& GetPortals() const { return portals; }
        /// Nodes that instance a model file.
        size_t GetModelInstanceCount() const { return modelInstanceCount; }
        /// Plane objects the scene reader made (each with a mesh of its own).
        size_t GetPlaneCount() const { return planeMeshes.size(); }
        /// The plane of the plane-optimal shadow camera setup, or null before the first.
        Ogre::MovablePlane* GetShadowCameraPlane() const { return shadowCameraPlane.get(); }
        /** Where the last load was when it stopped: "level.scene:12: node "Door"", the section,
            node or object it was reading; empty after a load that went through, or one of a
            document without rows. */
        Ogre::String GetWhereLoadStopped() const;

    private:
        /// The section being read, for where a load stops; null once it is whole.
        const TiXmlElement* reading = nullptr;
        Ogre::String readingFile;
        /// The node, object or portal being built, from its description, for where a load stops.
        struct BuildingPlace
        {
            int line = 0;
            const char* element = nullptr;
            const Ogre::String* name = nullptr;
        } building;
        /// Where a load that failed among the nodes stopped, said before their descriptions go.
        Ogre::String stoppedAt;
        /// Keeps where the node reader or builder stopped, then lets the error pass on.
        [[noreturn]] void StopAt(const TiXmlElement* element);

        // Loading and sections
        /// Where the level's file is, and whether it is on disk; returns the file's full path.
        Ogre::String LocateLevel(const Ogre::String& fileName);
        /// Loads the document's scene element with the load's state set; raises when it has none.
        void LoadDocument(const TiXmlDocument& document, const Ogre::String& fullPath,
                          TarnelRenderWindowIterator& renderWindows, Ogre::SceneManager* sceneManager,
                          const Ogre::String& defaultResourceGroupName, const LevelDescription* described = nullptr);
        /// The level's nodes and objects are read whole first, unless described already.
        void LoadScene(const TiXmlElement* sceneElement, const LevelDescription* described);
        void LoadHeader(const LevelHeader& header);
        void CheckVersion() const;
        void BuildNodes(const LevelSection& section);
        void LoadTerrain(const LevelSection& section);
        /// A light or camera directly under the document, attached to nothing.
        void BuildUnattachedObject(const LevelSection& section);
        /// Makes `building` name the part of the description being built.
        void Building(int line, const char* element, const Ogre::String& name);
        /// "level.scene:12: " for the element being built, or nothing when its line is not known.
        Ogre::String WhereBuilding() const;

        // Environment and shadows
        void BuildEnvironment(const EnvironmentDescription& environment);
        void SetBackgroundColour(const Ogre::ColourValue& colour);
        void CreateSky(const Types::SkyParameters& sky);
        void BuildShadows(const ShadowSettings& shadows);
        Ogre::ShadowCameraSetupPtr ShadowCameraSetup(ShadowSettings::CameraSetup setup, const Ogre::Plane& plane);

        // Render textures
        void LoadRenderTextures(const std::vector<RenderTextureDescription>& textures);
        void LoadRenderTexture(const RenderTextureDescription& description, Ogre::PixelFormat defaultPixelFormat);
        void FinishLoadingRenderTextures();
        void FinishFlatRenderTexture(RenderTexture& renderTexture);
        void FinishCubeMap(RenderTexture& renderTexture);
        /// The scene's nodes of those names, in order; names without a node are dropped.
        std::vector<Ogre::SceneNode*> ExistingNodes(const std::vector<Ogre::String>& names) const;
        /// Hangs a camera that hangs on nothing on the texture's own camera node, where it stays.
        void AttachRenderTextureCamera(RenderTexture& renderTexture, Ogre::Camera* camera);
        Ogre::Viewport* AddRenderTextureViewport(const RenderTexture& renderTexture, size_t face, Ogre::Camera* camera);
        void ReleaseRenderTextures();

        // Batched geometry
        void LoadInstancedGeometries(const std::vector<GeometryDescription>& geometries);
        void LoadInstancedGeometry(const GeometryDescription& description);
        void LoadStaticGeometries(const std::vector<GeometryDescription>& geometries);
        void LoadStaticGeometry(const GeometryDescription& description);

        // Resource locations, externals and flag aliases
        bool LoadResourceLocations(const std::vector<ResourceLocation>& locations);
        bool AddResourceLocation(const ResourceLocation& location);
        void InitialiseResourceLocations();
        void LoadExternals(const LevelSection& section);
        void LoadQueryFlagAliases(const LevelSection& section);
        void LoadVisibilityFlagAliases(const LevelSection& section);

        // Nodes and zones
        /// Enters the node and its subtree in the name index; a name already there keeps its node.
        void IndexSceneNodes(Ogre::SceneNode* node);
        /// The node of the description under the parent, with what it holds, in document order.
        void BuildNode(const NodeDescription& description, Ogre::SceneNode* parent);
        static void ApplyTransform(const NodeDescription::Transform& transform, Ogre::SceneNode* node);
        Ogre::PCZone* CreateZone(Ogre::SceneNode* node);
        /// The zones of the nodes that have portals, in the order of their first portals, with their portals.
        void LoadZones();
        /// Makes the node and those below it, down to the next zone's node, home in the zone.
        void PutInZone(Ogre::SceneNode* node, Ogre::PCZone* zone,
                       const std::unordered_map<const Ogre::SceneNode*, Ogre::PCZone*>& zones);
        /// The portal of a quad, or null; it joins its node's zone in LoadZones.
        Ogre::Portal* BuildPortal(Ogre::SceneNode* node, const PortalDescription& description);
        /// Enters a node's or a camera's look and track requests, applied once every node exists.
        void RequestTargets(const std::vector<LookTarget>& looks, const std::vector<TrackTarget>& tracks,
                            Ogre::SceneNode* node, Ogre::Camera* camera);
        void ApplyLookAndTrackTargets();

        // Objects
        /// Builds an object of any kind on the owner, named as the scene names objects.
        void BuildObject(const Types::ObjectParameters& object, const MovableObjectOwner& owner);
        /// The entity, then what hangs on its bones, named as the scene names objects.
        void CreateEntity(const Types::EntityParameters& parameters, const Ogre::String& name,
                          const MovableObjectOwner& owner);
        void CreateLight(const Types::LightParameters& parameters, const Ogre::String& name,
                         const MovableObjectOwner& owner);
        /// The camera, with its look and tracking requests entered for after the nodes.
        void CreateCamera(const Types::CameraParameters& parameters, const Ogre::String& name,
                          const MovableObjectOwner& owner);
        void CreateParticleSystem(const Types::ParticleSystemParameters& parameters, const Ogre::String& name,
                                  const MovableObjectOwner& owner);
        void CreateBillboardSet(const Types::BillboardSetParameters& parameters, const Ogre::String& name,
                                const MovableObjectOwner& owner);
        /// The plane's mesh (of its object's name) and entity, and for reflections its movable plane.
        void CreatePlane(const Types::PlaneParameters& parameters, const Ogre::String& name,
                         const MovableObjectOwner& owner);

        // Node animations
        /// The node's track of the animation; the first of a name makes the animation and its state.
        void BuildNodeAnimation(const Types::NodeAnimationParameters& parameters, Ogre::SceneNode* node);
        /// The object protocol's last step: enter the name and file the extra data.
        void RegisterObject(const Ogre::String& name, Ogre::MovableObject* object,
                            const Types::ObjectExtraDataPtr& extraData);

        // Load state
        TarnelRenderWindowIterator* renderWindows; ///< valid only during Load
        Ogre::SceneManager* sceneManager;
        Ogre::SceneNode* rootNode;
        Ogre::String defaultResourceGroupName;
        Ogre::String baseResourceLocation;
        bool loadedFromFileSystem;

        // Header
        Types::ObjectExtraData sceneExtraData;
        Version formatVersion;
        Version minOgreVersion;
        Ogre::String author;
        UpAxis upAxis;
        Ogre::Real unitsPerMeter;
        Ogre::String unitType;
        Types::ObjectExtraData terrainExtraData;

        // Environment
        Ogre::ColourValue backgroundColour;
        Ogre::Real nearClipDistance;
        Ogre::Real farClipDistance;
        FogSettings fog;
        Types::ObjectExtraData skyBoxExtraData;
        Types::ObjectExtraData skyDomeExtraData;
        Types::ObjectExtraData skyPlaneExtraData;
        std::unique_ptr<Ogre::MovablePlane> shadowCameraPlane;

        // Render textures
        std::vector<std::unique_ptr<RenderTexture>> renderTextures;
        size_t finishedRenderTextureCount;
        std::map<const Ogre::RenderTarget*, RenderTexture*> renderTargets;
        Ogre::String savedSchemeName;

        std::vector<ExternalItem> externalItems;
        std::vector<std::unique_ptr<TarnelInstancedGeometry>> instancedGeometries;
        std::vector<LookTarget> lookTargets;
        std::vector<TrackTarget> trackTargets;
        std::vector<FlagAlias> queryFlagAliases;
        std::vector<FlagAlias> visibilityFlagAliases;
        ResourceLocations resourceLocations;


        // Registries
        // Looked up, never walked in order: indexed by hash, so that big levels stay linear.
        struct NameOf
        {
            template <class Named> const Ogre::String& operator()(const Named* named) const { return named->getName(); }
        };
        struct NameHash
        {
            size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
        };
        struct ObjectOf
        {
            const void* operator()(const Types::ObjectExtraDataPtr& data) const { return data->object; }
        };
        struct NodeOf
        {
            const void* operator()(const Types::ObjectExtraDataPtr& data) const { return data->node; }
        };
        /// Addresses differ in their middle bits; the index picks a slot by the low ones.
        struct AddressHash
        {
            size_t operator()(const void* address) const
            {
                unsigned long long mixed = reinterpret_cast<size_t>(address) * 0x9E3779B97F4A7C15ull;
                return size_t(mixed ^ (mixed >> 32));
            }
        };
        /// The scene's nodes by name: this engine's zone manager keeps no such index.
        Index<Ogre::SceneNode*, NameOf, NameHash> nodesByName;
        Index<Ogre::MovableObject*, NameOf, NameHash> objects;
        Index<Types::ObjectExtraDataPtr, ObjectOf, AddressHash> objectExtraData;
        Index<Types::ObjectExtraDataPtr, NodeOf, AddressHash> nodeExtraData;
        std::map<Ogre::String, Ogre::AnimationState*> animationStates;
        std::map<Ogre::String, std::unique_ptr<Ogre::MovablePlane>> movablePlanes;
        /// The plane meshes made for plane objects, by name and group, so that another level may reuse the names.
        std::vector<std::pair<Ogre::String, Ogre::String>> planeMeshes;
        /// Model instances' planes: not the level's planes, which the checker counts.
        std::vector<std::pair<Ogre::String, Ogre::String>> instancePlaneMeshes;
        std::map<Ogre::String, std::unique_ptr<TarnelModel>> models;
        /// The model files the level being built was read with, which GetModel takes before reading one.
        const std::map<Ogre::String, std::shared_ptr<const ModelDescription>>* describedModels = nullptr;
        /** Set while the load builds from a description of its own: each node is let go once it
            is built, so that the description and the engine's objects are not both held whole. */
        bool releaseBuiltNodes = false;
        /// Lets a built node's description go, when the load owns it.
        void ReleaseBuilt(const NodeDescription& built) const;
        std::vector<Ogre::Portal*> portals;
        /// Each portal element read among the nodes: its node, which becomes a zone, and its portal or null.
        std::vector<std::pair<Ogre::SceneNode*, Ogre::Portal*>> portalsOfZones;
        size_t modelInstanceCount = 0;
        std::vector<std::pair<Ogre::String, Ogre::String>> unreadableMeshes;
        LoadTimes loadTimes;
        bool lenientNames = false;
        std::vector<std::pair<Ogre::String, Ogre::String>> renamed;
        /// The first free name of the form name#N, for a repeated name under lenient names.
        Ogre::String Rename(const Ogre::String& name, const std::function<bool(const Ogre::String&)>& taken);
        /// One warning for the renames of the load, with the first few.
        void LogRenames() const;
    };
}

#endif
