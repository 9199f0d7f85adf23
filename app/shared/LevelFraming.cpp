// The first view of a level given on the command line: the whole level in view.
#include "LevelFraming.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

using namespace Ogre;

LevelFraming LevelFraming::Of(const AxisAlignedBox& bounds, const std::vector<Vector3>& corners, const Vector3& up,
                              Radian fovY, Real aspectRatio, int quarter)
{
    AxisAlignedBox box = bounds.isFinite() ? bounds : AxisAlignedBox(-Vector3::UNIT_SCALE, Vector3::UNIT_SCALE);
    LevelFraming framing = Sized(box, up);
    framing.target = box.getCenter();
    // Raised diagonal: from one side and from above, whichever axis is up.
    const Quaternion turn(Degree(90 * Real(quarter)), up);
    const Vector3 side = turn * up.perpendicular();
    const Vector3 across = up.crossProduct(side);
    const Vector3 back = (side + across + up * 0.8f).normalisedCopy(); // from the target toward the camera
    const Vector3 right = up.crossProduct(back).normalisedCopy();
    const Vector3 upward = back.crossProduct(right);
    const Real tanVertical = std::tan(fovY.valueRadians() / 2);
    const Real tanHorizontal = tanVertical * aspectRatio;
    // Far enough back that every corner of every drawn box is inside the view; what the view
    // then shows may fit it closer (FirstView), as corners of boxes stand outside their meshes.
    const AxisAlignedBox::Corners boxCorners = box.getAllCorners();
    const std::vector<Vector3> points =
        corners.empty() ? std::vector<Vector3>(boxCorners.begin(), boxCorners.end()) : corners;
    Real distance = 0;
    for (const Vector3& corner : points)
    {
        Vector3 offset = corner - framing.target;
        Real toward = offset.dotProduct(back);
        distance = std::max({distance, toward + std::abs(offset.dotProduct(right)) / tanHorizontal,
                             toward + std::abs(offset.dotProduct(upward)) / tanVertical});
    }
    framing.position = framing.target + back * distance * 1.02f;
    framing.farClip = distance + framing.farClip;
    framing.lightRange = std::max(distance + framing.lightRange, Real(500));
    return framing;
}

LevelFraming LevelFraming::Looking(const AxisAlignedBox& bounds, const Vector3& up, const Vector3& position,
                                   const Vector3& target)
{
    LevelFraming framing = Sized(bounds.isFinite() ? bounds : AxisAlignedBox(-Vector3::UNIT_SCALE, Vector3::UNIT_SCALE), up);
    framing.position = position;
    framing.target = target;
    framing.farClip += position.distance(bounds.isFinite() ? bounds.getCenter() : position);
    framing.lightRange = std::max(framing.lightRange, Real(500));
    return framing;
}

LevelFraming LevelFraming::Within(const AxisAlignedBox& zone, const AxisAlignedBox& bounds, const Vector3& up)
{
    LevelFraming framing = Sized(bounds.isFinite() ? bounds : zone, up);
    framing.target = zone.getCenter();
    // A raised corner of the zone, inside its walls, looking across it.
    Vector3 reach = zone.getHalfSize() * 0.8f;
    Vector3 height = up * up.dotProduct(reach) * 0.5f;
    Vector3 level = reach - up * up.dotProduct(reach);
    framing.position = framing.target + level + height;
    framing.lightRange = std::max(framing.lightRange + zone.getHalfSize().length(), Real(500));
    return framing;
}

LevelFraming LevelFraming::Sized(const AxisAlignedBox& bounds, const Vector3& up)
{
    LevelFraming framing;
    framing.up = up;
    Real radius = std::max(bounds.getHalfSize().length(), Real(1));
    framing.nearClip = std::max(radius * 0.0005f, Real(0.01));
    framing.farClip = radius * 4;
    framing.moveSpeed = std::max(radius / 2, Real(10));
    framing.lightRange = radius * 2;
    return framing;
}

// The arrow keys turn the camera itself, which this engine still supports but marks as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
void LevelFraming::Apply(Camera* camera, Light* light) const
{
    // The node looks, as the node is what the viewer turns: about the level's up axis.
    SceneNode* node = camera->getParentSceneNode();
    node->setFixedYawAxis(true, up);
    node->setPosition(position);
    node->lookAt(target, Node::TS_WORLD, Vector3::NEGATIVE_UNIT_Z);
    camera->setOrientation(Quaternion::IDENTITY);
    camera->setNearClipDistance(nearClip);
    camera->setFarClipDistance(farClip);
    if (light)
        light->setAttenuation(lightRange, 1, 2 / lightRange, 0); // about half strength at the level's centre
}
#pragma GCC diagnostic pop
