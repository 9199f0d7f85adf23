// What of a level sets its first view: not its backdrops, nor a lone object far away.
#include "LevelExtent.h"

#include <OgreMovableObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Ogre;

namespace
{
    /// The value at that share (0 to 1) of the sorted values, between neighbours.
    Real Quantile(std::vector<Real> values, Real share)
    {
        std::sort(values.begin(), values.end());
        Real at = share * Real(values.size() - 1);
        size_t below = size_t(at);
        size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (at - Real(below));
    }

    /// How far apart two boxes are; 0 when they touch.
    Real Gap(const AxisAlignedBox& a, const AxisAlignedBox& b)
    {
        Vector3 gap = Vector3::ZERO;
        for (int axis = 0; axis < 3; ++axis)
            gap[axis] = std::max({Real(0), a.getMinimum()[axis] - b.getMaximum()[axis],
                                  b.getMinimum()[axis] - a.getMaximum()[axis]});
        return gap.length();
    }

    Real Diagonal(const AxisAlignedBox& box) { return box.isFinite() ? box.getSize().length() : 0; }

    /// 1640 as "1,640".
    String Grouped(size_t number)
    {
        String digits = std::to_string(number);
        for (int at = int(digits.size()) - 3; at > 0; at -= 3)
            digits.insert(size_t(at), ",");
        return digits;
    }

    /// 2.46 as "2.5".
    String Tenths(Real value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", double(value));
        return text;
    }

    /// The box, on each axis, between those shares (0 to 1) of the objects' sorted centres.
    AxisAlignedBox CentresBetween(const std::vector<LevelExtent::Item>& items, Real low, Real high)
    {
        Vector3 lowest, highest;
        for (int axis = 0; axis < 3; ++axis)
        {
            std::vector<Real> centres;
            for (const auto& item : items)
                centres.push_back(item.box.getCenter()[axis]);
            lowest[axis] = Quantile(centres, low);
            highest[axis] = Quantile(centres, high);
        }
        return AxisAlignedBox(lowest, highest);
    }

    /// Marks the objects far from the middle half of all of them.
    void LeaveOutFar(const std::vector<LevelExtent::Item>& items, std::vector<String>& why)
    {
        const size_t FEWEST = 5; // fewer objects say nothing of where "the rest" is
        if (items.size() < FEWEST)
            return;
        std::vector<Real> sizes;
        for (const auto& item : items)
            sizes.push_back(Diagonal(item.box));
        const AxisAlignedBox middle = CentresBetween(items, 0.25f, 0.75f);
        const Real spread = std::max({Diagonal(middle), Quantile(sizes, 0.5f), Real(1)});
        for (size_t index = 0; index < items.size(); ++index)
        {
            Real distance = Gap(items[index].box, middle);
            if (distance > 4 * spread)
                why[index] = Grouped(size_t(std::lround(distance))) + " units from the rest";
        }
        // Many objects tell where the level is even when its middle half is a tight cluster
        // and a few pieces stand thousands of units off (a ground plane left by the exporter).
        const size_t MANY = 20;
        if (items.size() < MANY)
            return;
        const AxisAlignedBox most90 = CentresBetween(items, 0.05f, 0.95f);
        const Vector3 margin = most90.getSize() * 0.5f + Vector3(spread * 0.5f);
        const AxisAlignedBox most(most90.getMinimum() - margin, most90.getMaximum() + margin);
        for (size_t index = 0; index < items.size(); ++index)
        {
            if (why[index].empty() && !most.contains(items[index].box.getCenter()))
                why[index] = Grouped(size_t(std::lround(Gap(items[index].box, middle)))) + " units from the rest";
        }
    }

    /// Marks, of the objects not yet left out, those that enclose most of the others and dwarf them.
    void LeaveOutEnclosing(const std::vector<LevelExtent::Item>& items, const Vector3& up, std::vector<String>& why,
                           std::vector<LevelExtent::Role>& roles)
    {
        std::vector<size_t> kept, enclosing;
        std::vector<Real> shares(items.size(), 0);
        for (size_t index = 0; index < items.size(); ++index)
            if (why[index].empty())
                kept.push_back(index);
        if (kept.size() < 2)
            return;
        // Backdrops are among the largest objects; looking only there keeps big levels fast.
        const size_t LARGEST = 16;
        std::vector<size_t> largest = kept;
        auto larger = [&items](size_t a, size_t b) { return Diagonal(items[a].box) > Diagonal(items[b].box); };
        if (largest.size() > LARGEST)
            std::partial_sort(largest.begin(), largest.begin() + LARGEST, largest.end(), larger);
        largest.resize(std::min(LARGEST, largest.size()));
        const Vector3 upward = up.normalisedCopy();
        for (size_t candidate : largest)
        {
            // A flat ground holds what stands on it, above it: only across is looked at.
            const AxisAlignedBox& box = items[candidate].box;
            const Real height = std::abs(box.getSize().dotProduct(upward));
            const bool flat = height < std::sqrt(std::max(Real(0), box.getSize().squaredLength() - height * height)) / 3;
            size_t inside = 0;
            for (size_t other : kept)
            {
                Vector3 centre = items[other].box.getCenter();
                if (flat)
                    centre += upward * (box.getCenter() - centre).dotProduct(upward);
                inside += other != candidate && box.contains(centre);
            }
            shares[candidate] = Real(inside) / Real(kept.size() - 1);
            if (shares[candidate] >= 0.5f)
                enclosing.push_back(candidate);
        }
        // What the others fill: the objects that enclose nothing much.
        AxisAlignedBox rest;
        for (size_t index : kept)
            if (std::find(enclosing.begin(), enclosing.end(), index) == enclosing.end())
                rest.merge(items[index].box);
        if (!rest.isFinite())
            return; // all of them nest in one another: nothing stands apart as a backdrop
        const Real restHeight = std::abs(rest.getSize().dotProduct(up.normalisedCopy()));
        // A ground or a low dome stands around a cluster: a lone object on a floor is a room's.
        const bool cluster = kept.size() - enclosing.size() >= 4;
        for (size_t index : enclosing)
        {
            const Real ratio = Diagonal(items[index].box) / std::max(Diagonal(rest), Real(1e-3f));
            const Vector3 size = items[index].box.getSize();
            const Real height = std::abs(size.dotProduct(up.normalisedCopy()));
            const Real width = std::sqrt(std::max(Real(0), size.squaredLength() - height * height));
            if (height < width / 3 && ratio > 1.5f && cluster)
            {
                why[index] = "a ground " + Tenths(ratio) + " times the size of what stands on it";
                roles[index] = LevelExtent::Role::Ground;
            }
            // A room stands about as high as what it holds; a dome or sky box stands far above it.
            else if (height >= width / 3 && (ratio > 3 || (cluster && ratio > 1.5f && height > 4 * std::max(restHeight, Real(1e-3f)))))
            {
                why[index] = "encloses " + std::to_string(std::lround(shares[index] * 100)) + " % of the level";
                roles[index] = ratio > 3 ? LevelExtent::Role::Backdrop : LevelExtent::Role::Enclosure;
            }
        }
    }
}

LevelExtent LevelExtent::Choose(const std::vector<Item>& items, const Vector3& up)
{
    LevelExtent extent;
    extent.total = items.size();
    std::vector<String> why(items.size());
    extent.roles.assign(items.size(), Role::Level);
    LeaveOutFar(items, why);
    for (size_t index = 0; index < items.size(); ++index)
        if (!why[index].empty())
            extent.roles[index] = Role::Far;
    LeaveOutEnclosing(items, up, why, extent.roles);
    for (size_t index = 0; index < items.size(); ++index)
    {
        if (!why[index].empty())
        {
            extent.leftOut.push_back({items[index].name, why[index]});
            continue;
        }
        ++extent.kept;
        extent.bounds.merge(items[index].box);
        const AxisAlignedBox::Corners corners = items[index].box.getAllCorners();
        if (items[index].corners.empty())
            extent.corners.insert(extent.corners.end(), corners.begin(), corners.end());
        else
            extent.corners.insert(extent.corners.end(), items[index].corners.begin(), items[index].corners.end());
    }
    return extent;
}

namespace
{
    bool Drawn(const MovableObject* object)
    {
        const String& type = object->getMovableType();
        return type == "Entity" || type == "StaticGeometry";
    }

    bool Finite(const AxisAlignedBox& box)
    {
        return box.isFinite() && std::isfinite(box.getMinimum().squaredLength()) &&
               std::isfinite(box.getMaximum().squaredLength());
    }

    void AddItems(const SceneNode* node, const SceneNode* skip, std::vector<LevelExtent::Item>& items)
    {
        if (node == skip)
            return;
        for (const MovableObject* object : node->getAttachedObjects())
        {
            // A box of numbers out of range would place the camera nowhere.
            if (!Drawn(object) || !Finite(object->getWorldBoundingBox(true)))
                continue;
            LevelExtent::Item item{object->getName(), object->getWorldBoundingBox(true), object, {}};
            const AxisAlignedBox& own = object->getBoundingBox();
            if (own.isFinite() && object->getParentNode())
            {
                const Affine3& placed = object->_getParentNodeFullTransform();
                for (const Vector3& corner : own.getAllCorners())
                    item.corners.push_back(placed * corner);
            }
            items.push_back(std::move(item));
        }
        for (const Node* child : node->getChildren())
            AddItems(static_cast<const SceneNode*>(child), skip, items);
    }
}

std::vector<LevelExtent::Item> LevelExtent::DrawnItems(SceneManager* sceneManager, const SceneNode* skip)
{
    sceneManager->getRootSceneNode()->_update(true, false);
    std::vector<Item> items;
    AddItems(sceneManager->getRootSceneNode(), skip, items);
    return items;
}

String LevelExtent::Describe() const
{
    String text = "framed on " + Grouped(kept) + " of " + Grouped(total) + " drawn objects";
    if (leftOut.empty())
        return text;
    const size_t NAMED = 5;
    text += "; left out: ";
    for (size_t index = 0; index < std::min(NAMED, leftOut.size()); ++index)
        text += (index ? ", " : "") + leftOut[index].name + " (" + leftOut[index].why + ")";
    if (leftOut.size() > NAMED)
        text += " and " + Grouped(leftOut.size() - NAMED) + " more";
    return text;
}
