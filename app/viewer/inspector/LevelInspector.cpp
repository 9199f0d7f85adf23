// The level inspector: ImGui windows over the level, and the object under a click.
#include "LevelInspector.h"
#include "LevelPicking.h"
#include "Utf8Text.h"
#include "WarningGroups.h"

#include "Tarnel/Tarnel.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreOverlayManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgrePortal.h>
#include <OgreRenderTexture.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>
#include <OgreTexture.h>
#include <OgreTimer.h>
#include <OgreViewport.h>
#include <Overlay/OgreImGuiOverlay.h>
#include <imgui_internal.h>


#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

using namespace Ogre;

namespace
{
    /** Begins ImGui's next frame. A frame the engine did not draw (a test's frame without
        rendering, a window it does not update) never ended, and ImGui stops the program
        on a frame begun inside another: that one is ended first, unseen. */
    void BeginImGuiFrame()
    {
        if (GImGui && GImGui->WithinFrameScope)
            ImGui::EndFrame();
        ImGuiOverlay::NewFrame();
    }

    /// The pointer in the window and whether its buttons are down; false when it cannot be read.
    bool ReadPointer(RenderWindow* window, int& x, int& y, bool& left, bool& right)
    {
        Display* display = nullptr;
        unsigned long handle = 0;
        window->getCustomAttribute("XDISPLAY", &display);
        window->getCustomAttribute("WINDOW", &handle);
        if (!display || !handle)
            return false;
        ::Window root, child;
        int rootX, rootY;
        unsigned int mask = 0;
        if (!XQueryPointer(display, ::Window(handle), &root, &child, &rootX, &rootY, &x, &y, &mask))
            return false;
        left = (mask & Button1Mask) != 0;
        right = (mask & Button3Mask) != 0;
        return true;
    }

    String Degrees(const Quaternion& orientation)
    {
        // Yaw about Y, pitch about X, roll about Z, as the engine reads a quaternion.
        return "yaw " + StringConverter::toString(orientation.getYaw().valueDegrees(), 4) + ", pitch " +
               StringConverter::toString(orientation.getPitch().valueDegrees(), 4) + ", roll " +
               StringConverter::toString(orientation.getRoll().valueDegrees(), 4) + " deg";
    }

    /// The render texture's name and size, and for a flat one what it holds now, as wide as the window.
    void DrawThumbnail(const Tarnel::RenderTexture& renderTexture)
    {
        const TexturePtr& texture = renderTexture.texture;
        if (!texture)
            return;
        const String title = renderTexture.name + " (" + StringConverter::toString(texture->getWidth()) + "x" +
                             StringConverter::toString(texture->getHeight()) + ")";
        ImGui::TextUnformatted(AsValidUtf8(title).c_str());
        if (texture->getTextureType() != TEX_TYPE_2D)
        {
            ImGui::TextDisabled("a cube map: its faces are not shown");
            return;
        }
        const float width = std::max(ImGui::GetContentRegionAvail().x, 16.0f);
        const float height = width * float(texture->getHeight()) / float(std::max(texture->getWidth(), 1u));
        // The engine's overlay binds a texture by its handle.
        ImGui::Image(ImTextureID(uintptr_t(texture->getHandle())), ImVec2(width, std::min(height, width * 2)));
    }

    String Lower(String text)
    {
        StringUtil::toLowerCase(text);
        return text;
    }
}

LevelRows LevelRows::Of(const Tarnel::LevelDescription& level, const String& file)
{
    LevelRows rows;
    rows.file = file;
    Tarnel::ForEachNodeAndObject(
        level,
        [&rows](const Tarnel::NodeDescription& node) {
            if (!node.name.empty())
                rows.nodes.emplace(node.name, node.line);
            // The load names a portal after its zone's node.
            for (const Tarnel::PortalDescription& portal : node.portals)
                rows.objects.emplace(node.name + "_" + portal.name, portal.line);
        },
        [&rows](const Tarnel::Types::ObjectParameters& object) { rows.objects.emplace(object.name, object.line); });
    return rows;
}

String LevelRows::Where(const MovableObject* object) const
{
    // A model file's object is the line of the nearest node above it that the level made.
    int row = 0;
    auto found = objects.find(object->getName());
    if (found != objects.end())
        row = found->second;
    for (const Node* node = object->getParentNode(); node && row <= 0; node = node->getParent())
    {
        auto named = nodes.find(node->getName());
        if (named != nodes.end())
            row = named->second;
    }
    return row > 0 ? file + ":" + StringConverter::toString(row) : file;
}

LevelInspector::LevelInspector(RenderWindow* window) : window(window) {}

LevelInspector::~LevelInspector() = default; // the overlay is the overlay manager's

void LevelInspector::Prepare()
{
    if (!overlay && usable)
    {
        // One overlay for the program's ImGui: an inspector made after another takes it over.
        OverlayManager& overlays = OverlayManager::getSingleton();
        Overlay* made = overlays.getByName("ImGuiOverlay");
        overlay = made ? static_cast<ImGuiOverlay*>(made) : new ImGuiOverlay(); // this makes ImGui's context
        if (String(ImGui::GetVersion()) != IMGUI_VERSION)
        {
            LogManager::getSingleton().logError("The inspector needs Dear ImGui " + String(IMGUI_VERSION) +
                                                ", and the engine's overlay library has " + ImGui::GetVersion());
            usable = false;
        }
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr; // no imgui.ini beside the screenshots
        io.MouseDrawCursor = true; // the window's own pointer is hidden for the fly-through
        const std::pair<ImGuiKey, OIS::KeyCode> keys[] = {
            {ImGuiKey_Tab, OIS::KC_TAB},      {ImGuiKey_LeftArrow, OIS::KC_LEFT}, {ImGuiKey_RightArrow, OIS::KC_RIGHT},
            {ImGuiKey_UpArrow, OIS::KC_UP},   {ImGuiKey_DownArrow, OIS::KC_DOWN}, {ImGuiKey_Home, OIS::KC_HOME},
            {ImGuiKey_End, OIS::KC_END},      {ImGuiKey_Delete, OIS::KC_DELETE},  {ImGuiKey_Backspace, OIS::KC_BACK},
            {ImGuiKey_Enter, OIS::KC_RETURN}, {ImGuiKey_Escape, OIS::KC_ESCAPE},  {ImGuiKey_A, OIS::KC_A},
            {ImGuiKey_C, OIS::KC_C},          {ImGuiKey_V, OIS::KC_V},            {ImGuiKey_X, OIS::KC_X}};
        for (const auto& [key, code] : keys)
            io.KeyMap[key] = code;
        // Copied text is the display's, so that other programs paste it; ImGui keeps its own otherwise.
        io.ClipboardUserData = this;
        io.SetClipboardTextFn = [](void* inspector, const char* text) {
            static_cast<LevelInspector*>(inspector)->clipboard.Set(text);
        };
        io.GetClipboardTextFn = [](void* inspector) {
            LevelInspector* self = static_cast<LevelInspector*>(inspector);
            self->pasted = self->clipboard.Get();
            return self->pasted.c_str();
        };
        if (!made)
        {
            overlay->setZOrder(600);
            overlays.addOverlay(overlay); // the manager owns it from now on
            overlay->show(); // builds ImGui's font
        }
        // The overlay draws at the next frame what one began.
        BeginImGuiFrame();
    }
}

bool LevelInspector::SetOpen(bool wanted)
{
    if (wanted)
        Prepare();
    open = wanted && usable;
    return open || !wanted;
}

void LevelInspector::ShowLevel(SceneManager* manager, Camera* viewerCamera, const LevelRows& levelRows,
                               const std::vector<String>& loadFindings, const Tarnel::TarnelScene* levelScene)
{
    scene = levelScene;
    // The selection by name in the new level, or none; the old level may be gone already.
    const bool sameLevel = manager == sceneManager;
    if (!sameLevel)
        selection = nullptr;
    sceneManager = manager;
    camera = viewerCamera;
    rows = levelRows;
    findings = loadFindings;
    RestartTree();
    if (sameLevel || selectedName.empty())
        return;
    if (manager->hasMovableObject(selectedName, selectedType))
        Select(manager->getMovableObject(selectedName, selectedType));
    else
    {
        LogManager::getSingleton().logMessage("Selection cleared: the level has no " + selectedName + " now");
        selectedName.clear();
    }
}

bool LevelInspector::WantsMouse() const
{
    return open && overlay && ImGui::GetIO().WantCaptureMouse;
}

bool LevelInspector::WantsKeyboard() const
{
    return open && overlay && ImGui::GetIO().WantCaptureKeyboard;
}

void LevelInspector::KeyPressed(const OIS::KeyEvent& event)
{
    keys.Pressed(event);
}

void LevelInspector::Scroll(float notches)
{
    wheel += notches;
}

void LevelInspector::KeyReleased(const OIS::KeyEvent& event)
{
    keys.Released(event);
}

void LevelInspector::Frame(Real seconds, int leftClicks, const LevelControls& controls)
{
    // Once made, the overlay draws every frame, so every frame begins one of ImGui's; a
    // closed inspector's is empty.
    if (!overlay || !usable)
        return;
    ImGuiIO& io = ImGui::GetIO();
    io.MouseDrawCursor = open;
    if (!open || !sceneManager)
    {
        io.MouseDown[0] = io.MouseDown[1] = false;
        io.MouseWheel = wheel = 0;
        keys.Clear(io);
        BeginImGuiFrame();
        return;
    }
    int x = 0, y = 0;
    bool left = false, right = false;
    if (ReadPointer(window, x, y, left, right))
        io.MousePos = ImVec2(float(x), float(y));
    // A click shorter than a frame is down for this frame and up for the next.
    io.MouseDown[0] = left || leftClicks > 0;
    io.MouseDown[1] = right;
    io.DeltaTime = std::max(seconds, 1e-4f);
    // What ImGui took in the last frame decides where this click goes.
    const bool clickInView = leftClicks > 0 && !io.WantCaptureMouse;
    // Set only here, before its frame begins: ImGui ends a frame whose modifiers changed since
    // it began by aborting, and drops characters added after it began.
    keys.HandTo(io);
    io.MouseWheel = wheel;
    wheel = 0;
    BeginImGuiFrame();
    DrawProperties();
    DrawTree();
    DrawFindings();
    DrawLevel(controls);
    DrawRenderTextures();
    if (clickInView)
        PickAt(x, y);
}

void LevelInspector::Search(const String& text)
{
    const size_t length = std::min(text.size(), sizeof(search) - 1);
    text.copy(search, length);
    search[length] = '\0';
}

void LevelInspector::PickAt(int x, int y)
{
    Viewport* viewport = camera->getViewport();
    const Ray ray = camera->getCameraToViewportRay(Real(x - viewport->getActualLeft()) / viewport->getActualWidth(),
                                                   Real(y - viewport->getActualTop()) / viewport->getActualHeight());
    // Markers as large as a hand at a few steps: a light or camera is a point otherwise.
    const Real marker = std::max(Real(0.05), camera->getNearClipDistance() * 5);
    Select(LevelPicking::Pick(sceneManager, ray, marker, camera, scene ? scene->GetPortals() : std::vector<Portal*>()));
}

void LevelInspector::Select(MovableObject* object)
{
    if (selection && selection->getParentSceneNode())
        selection->getParentSceneNode()->showBoundingBox(false);
    selection = object;
    selectedName = object ? object->getName() : String();
    selectedType = object ? object->getMovableType() : String();
    if (!object)
    {
        LogManager::getSingleton().logMessage("Selected nothing");
        return;
    }
    if (SceneNode* node = object->getParentSceneNode())
        node->showBoundingBox(true);
    LogManager::getSingleton().logMessage("Selected " + Describe(object));
}

String LevelInspector::Kind(const MovableObject* object)
{
    const String& type = object->getMovableType();
    if (type == "Entity")
        return "entity";
    if (type == "Light" || type == "PCZLight")
        return "light";
    if (type == "Camera")
        return "camera";
    if (type == "ParticleSystem")
        return "particle system";
    if (type == "BillboardSet")
        return "billboard set";
    if (type == "Portal")
        return "portal";
    return type;
}

String LevelInspector::NodePath(const SceneNode* node)
{
    std::vector<String> names;
    for (const Node* at = node; at && at->getParent(); at = at->getParent())
        names.push_back(at->getName().empty() ? String("(unnamed)") : at->getName());
    String path;
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        path += (path.empty() ? "" : " > ") + *name;
    return path;
}

String LevelInspector::Describe(const MovableObject* object) const
{
    const SceneNode* node = object->getParentSceneNode();
    String text = Kind(object) + " \"" + object->getName() + "\"";
    if (node)
    {
        text += " on node \"" + node->getName() + "\"";
        // The zone scene manager's getters are not const.
        if (const PCZone* zone = static_cast<PCZSceneNode*>(const_cast<SceneNode*>(node))->getHomeZone())
            text += " (zone " + zone->getName() + ")";
    }
    return text + ", " + rows.Where(object);
}

String LevelInspector::PropertiesText(const MovableObject* object) const
{
    StringStream text;
    const SceneNode* node = object->getParentSceneNode();
    text << "Name: " << object->getName() << "\nKind: " << Kind(object) << "\nMade at: " << rows.Where(object) << "\n";
    if (node)
    {
        text << "Node: " << NodePath(node) << "\n";
        text << "World position: " << StringConverter::toString(node->_getDerivedPosition()) << "\n";
        text << "Local position: " << StringConverter::toString(node->getPosition()) << "\n";
        text << "World orientation: " << Degrees(node->_getDerivedOrientation()) << "\n";
        text << "Local orientation: " << Degrees(node->getOrientation()) << "\n";
        text << "Scale: " << StringConverter::toString(node->_getDerivedScale()) << "\n";
    }
    text << "Visible: " << (object->getVisible() ? "yes" : "no") << ", query flags " << object->getQueryFlags()
         << ", visibility flags " << object->getVisibilityFlags() << "\n";
    if (const Entity* entity = dynamic_cast<const Entity*>(object))
    {
        text << "Mesh: " << entity->getMesh()->getName() << "\n";
        for (size_t index = 0; index < entity->getNumSubEntities(); ++index)
        {
            const SubEntity* sub = entity->getSubEntity(index);
            const MaterialPtr& material = sub->getMaterial();
            text << "Sub-entity " << index << ": " << (material ? material->getName() : String("none"));
            // The engine draws a mesh's material that it could not find in its plain white one.
            if (material && material->getName() == "BaseWhite" &&
                entity->getMesh()->getSubMesh(unsigned(index))->getMaterialName().empty())
                text << " (the mesh's own material is missing: see the findings)";
            // Why the others are not used says why a material looks plainer than its script.
            String unusable = material ? material->getUnsupportedTechniquesExplanation() : String();
            StringUtil::trim(unusable);
            std::replace(unusable.begin(), unusable.end(), '\n', ' ');
            if (material && !material->getSupportedTechniques().empty())
            {
                const Technique* best = material->getBestTechnique();
                const auto& techniques = material->getTechniques();
                const size_t number = size_t(std::find(techniques.begin(), techniques.end(), best) - techniques.begin());
                text << ", technique " << (best && !best->getName().empty() ? best->getName() : std::to_string(number));
                if (!unusable.empty())
                    text << "; others not usable: " << unusable;
            }
            else if (material)
                text << ", no usable technique: " << unusable;
            text << "\n";
        }
    }
    if (scene)
    {
        const Tarnel::Types::ObjectExtraDataPtr extra = scene->GetObjectExtraData(object);
        if (extra && !extra->userData.empty())
            text << "User data: " << extra->userData << "\n";
        if (extra && !extra->id.empty())
            text << "Id: " << extra->id << "\n";
    }
    // The node animations whose tracks move its node or a node above it.
    for (const auto& [name, animation] : sceneManager->getAnimations())
        for (const auto& [handle, track] : animation->_getNodeTrackList())
            for (const Node* at = node; at; at = at->getParent())
                if (track->getAssociatedNode() == at)
                {
                    text << "Moved by animation: " << name << (at == node ? "" : " (of " + at->getName() + ")")
                         << "\n";
                    break;
                }
    if (const auto* constPortal = dynamic_cast<const Portal*>(object))
    {
        // The zone scene manager's getters are not const.
        auto* portal = const_cast<Portal*>(constPortal);
        text << "Corners:";
        for (int corner = 0; corner < 4; ++corner)
            text << " (" << StringConverter::toString(portal->getDerivedCorner(corner)) << ")";
        text << "\nFacing: " << StringConverter::toString(portal->getDerivedDirection())
             << " (the engine looks through it from that side)\nZone: "
             << (portal->getCurrentHomeZone() ? portal->getCurrentHomeZone()->getName() : String("none"))
             << "\nLeads into: " << (portal->getTargetZone() ? portal->getTargetZone()->getName() : String("no zone"))
             << "\nMatching portal: "
             << (portal->getTargetPortal() ? portal->getTargetPortal()->getName() : String("none")) << "\n";
    }
    if (const Light* light = dynamic_cast<const Light*>(object))
        text << "Diffuse: " << StringConverter::toString(light->getDiffuseColour())
             << "\nRange: " << light->getAttenuationRange() << "\n";
    if (const Camera* level = dynamic_cast<const Camera*>(object))
        text << "Field of view: " << level->getFOVy().valueDegrees() << " deg, clip " << level->getNearClipDistance()
             << " to " << level->getFarClipDistance() << "\n";
    return text.str();
}

void LevelInspector::DrawProperties()
{
    // Beside the view, right of the statistics: the level stays in sight.
    const float width = ImGui::GetIO().DisplaySize.x;
    ImGui::SetNextWindowPos(ImVec2(width - 330, 10), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(320, 260), ImGuiCond_FirstUseEver);
    ImGui::Begin("Selection");
    if (!selection)
        ImGui::TextUnformatted("Click an object in the view, or in the level's tree.");
    else
    {
        const String text = AsValidUtf8(PropertiesText(selection));
        ImGui::PushTextWrapPos(0); // long lines (a material's reasons) wrap at the window's edge
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        if (ImGui::Button("Copy"))
        {
            ImGui::SetClipboardText(text.c_str());
            LogManager::getSingleton().logMessage("Copied the properties of " + selection->getName() +
                                                  " to the clipboard");
        }
        ImGui::SameLine();
        ImGui::TextUnformatted("G puts it in view");
    }
    ImGui::End();
}

void LevelInspector::RestartTree()
{
    tree.clear();
    treeWalk.clear();
    if (sceneManager)
        treeWalk.push_back({sceneManager->getRootSceneNode(), 0, 0});
}

void LevelInspector::GrowTree(double milliseconds)
{
    Timer timer;
    while (!treeWalk.empty() && timer.getMicroseconds() < milliseconds * 1000)
    {
        TreeWalk& at = treeWalk.back();
        const auto& children = at.node->getChildren();
        if (at.nextChild >= children.size())
        {
            treeWalk.pop_back();
            continue;
        }
        auto* sceneNode = static_cast<SceneNode*>(children[at.nextChild++]);
        const int depth = at.depth;
        if (sceneNode == camera->getParentSceneNode())
            continue; // the viewer's own
        PCZone* home = static_cast<PCZSceneNode*>(sceneNode)->getHomeZone();
        const bool zone = home && home->getEnclosureNode() == sceneNode;
        const String label = (zone ? "zone " : "node ") + AsValidUtf8(sceneNode->getName());
        tree.push_back({depth, label, Lower(label), sceneNode, nullptr});
        for (MovableObject* object : sceneNode->getAttachedObjects())
        {
            const String kind = Kind(object);
            if (kind == object->getMovableType())
                continue; // portals and the engine's helpers are not the level's objects
            String label = kind + " " + AsValidUtf8(object->getName());
            // Where each portal leads, as the engine joined it.
            if (auto* portal = dynamic_cast<Portal*>(object))
                label += portal->getTargetZone() ? " -> " + AsValidUtf8(portal->getTargetZone()->getName())
                                                 : String(" -> nowhere");
            tree.push_back({depth + 1, label, Lower(label), sceneNode, object});
        }
        treeWalk.push_back({sceneNode, 0, depth + 1});
    }
}

void LevelInspector::DrawTree()
{
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x - 330, 280), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(320, std::max(120.0f, display.y - 400)), ImGuiCond_FirstUseEver);
    ImGui::Begin("Level tree");
    ImGui::InputText("Search", search, sizeof(search));
    if (tree.empty() && treeWalk.empty())
        RestartTree();
    // About a quarter of a frame at a steady sixty a second.
    GrowTree(4);
    if (!treeWalk.empty())
        ImGui::Text("Reading the level: %zu rows so far", tree.size());
    // Only the rows that match, and of them only those on screen are drawn.
    String needle = search;
    StringUtil::toLowerCase(needle);
    shown.clear();
    for (const TreeRow& row : tree)
        if (needle.empty() || row.lowerLabel.find(needle) != String::npos)
            shown.push_back(&row);
    ImGui::BeginChild("rows");
    ImGuiListClipper clipper;
    clipper.Begin(int(shown.size()));
    while (clipper.Step())
    {
        for (int index = clipper.DisplayStart; index < clipper.DisplayEnd; ++index)
        {
            const TreeRow& row = *shown[size_t(index)];
            ImGui::Indent(float(row.depth) * 12 + 1);
            ImGui::PushID(index);
            if (ImGui::Selectable(row.label.c_str(), row.object && row.object == selection) && row.object)
                Select(row.object);
            ImGui::PopID();
            ImGui::Unindent(float(row.depth) * 12 + 1);
        }
    }
    ImGui::EndChild();
    ImGui::End();
}

void LevelInspector::DrawFindings()
{
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(10, display.y - 110), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(std::max(200.0f, display.x - 350), 100), ImGuiCond_FirstUseEver);
    ImGui::Begin("Findings");
    if (findings.empty())
        ImGui::TextUnformatted("The load said nothing to warn of.");
    int index = 0;
    for (const WarningGroup& group : GroupWarnings(findings))
    {
        ImGui::PushID(index++);
        ImGui::PushTextWrapPos(0);
        // One that names an object of the level selects it.
        if (ImGui::Selectable(AsValidUtf8(DescribeGroup(group)).c_str()))
            if (MovableObject* named = ObjectNamedIn(group.subjects))
                Select(named);
        ImGui::PopTextWrapPos();
        ImGui::PopID();
    }
    ImGui::End();
}

MovableObject* LevelInspector::ObjectNamedIn(const std::vector<String>& names) const
{
    for (String name : names)
    {
        if (name.size() > 1 && (name.front() == '"' || name.front() == '\''))
            name = name.substr(1, name.size() - 2);
        for (const char* type : {"Entity", "PCZLight", "Light", "Camera", "ParticleSystem", "BillboardSet"})
            if (sceneManager->hasMovableObject(name, type))
                return sceneManager->getMovableObject(name, type);
    }
    return nullptr;
}

void LevelInspector::ReloadFailed(const String& error)
{
    findings.push_back("Reload failed, the level on screen stays: " + error);
}

void LevelInspector::DrawLevel(const LevelControls& controls)
{
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x - 330, display.y - 110), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(320, 100), ImGuiCond_FirstUseEver);
    ImGui::Begin("Level");
    if (!controls.reloadSummary.empty())
        ImGui::TextUnformatted(controls.reloadSummary.c_str());
    if (!controls.zones.empty())
        ImGui::TextUnformatted(AsValidUtf8(controls.zones).c_str());
    if (controls.moveSpeed)
        ImGui::SliderFloat("speed", controls.moveSpeed, 0.01f, 1e5f, "%.2f units/s", ImGuiSliderFlags_Logarithmic);
    if (controls.levelCameras && !controls.levelCameras->empty() && ImGui::TreeNode("Cameras"))
    {
        for (Camera* level : *controls.levelCameras)
            if (ImGui::Selectable(AsValidUtf8(level->getName()).c_str()))
            {
                Tarnel::LookThrough(camera, level);
                LogManager::getSingleton().logMessage("Camera: the level's camera " + level->getName() +
                                                      ", from the inspector");
            }
        ImGui::TreePop();
    }
    const auto& states = sceneManager->getAnimationStates();
    if (!states.empty() && ImGui::TreeNode("Animations"))
    {
        if (controls.animationsPlaying)
            ImGui::Checkbox("play", controls.animationsPlaying);
        for (const auto& [name, state] : states)
        {
            if (!state->getEnabled())
                continue;
            float time = state->getTimePosition();
            // Dragging the time scrubs the animation, paused or not.
            if (ImGui::SliderFloat(AsValidUtf8(name).c_str(), &time, 0, std::max(state->getLength(), 1e-3f)))
                state->setTimePosition(time);
        }
        ImGui::TreePop();
    }
    ImGui::End();
}

void LevelInspector::DrawRenderTextures()
{
    if (!scene || scene->GetRenderTextures().empty())
        return;
    // Left, under the statistics: what the mirrors and cameras of the level draw, beside the view.
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(10, 170), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(210, std::max(120.0f, display.y - 290)), ImGuiCond_FirstUseEver);
    // Folded at first: open, it would cover the left of the view, where the level is.
    ImGui::SetNextWindowCollapsed(true, ImGuiCond_FirstUseEver);
    if (ImGui::Begin(RENDER_TEXTURES_WINDOW))
        for (const auto& renderTexture : scene->GetRenderTextures())
            DrawThumbnail(*renderTexture);
    ImGui::End();
}

bool LevelInspector::FrameSelection()
{
    if (!selection || !selection->getParentSceneNode())
        return false;
    AxisAlignedBox box = selection->getWorldBoundingBox(true);
    const Vector3 centre = box.isFinite() ? box.getCenter() : selection->getParentSceneNode()->_getDerivedPosition();
    const Real radius = box.isFinite() ? std::max(box.getHalfSize().length(), Real(0.1)) : Real(1);
    const Real distance = radius / Math::Tan(camera->getFOVy() / 2) * 1.2f;
    SceneNode* node = camera->getParentSceneNode();
    node->_setDerivedPosition(centre - camera->getDerivedDirection() * distance);
    // A selection larger than the framed level (a backdrop) is seen whole, not cut by the far clip.
    if (camera->getFarClipDistance() > 0 && camera->getFarClipDistance() < distance + radius)
        camera->setFarClipDistance(distance + radius * 2);
    LogManager::getSingleton().logMessage("View: " + Describe(selection) + " in view, from " +
                                          StringConverter::toString(node->_getDerivedPosition()));
    return true;
}
