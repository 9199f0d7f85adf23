#ifndef TARNEL_APP_LEVEL_SWEEP_H
#define TARNEL_APP_LEVEL_SWEEP_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <vector>

namespace Tarnel
{
    class TarnelScene;
}

/// How densely a level is swept: points this far apart, or about this many points.
struct SweepSettings
{
    Ogre::Real step = 0;  ///< units between points; 0: from `points`
    size_t points = 100;  ///< about this many places, when no step is given
    unsigned width = 160, height = 100; ///< the pictures the counts are drawn into
};

/// What the engine draws from one place looking one way.
struct SweepSample
{
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::String looking; ///< "north", "north-east" ... (north: -Z, or +Y in a level whose up is Z)
    Ogre::Vector3 direction = Ogre::Vector3::NEGATIVE_UNIT_Z;
    Ogre::String zone;   ///< the zone it stands in; empty outside every zone
    Ogre::String camera; ///< the level's camera it looks through; empty for a sampled place
    size_t zones = 0, objects = 0, triangles = 0, batches = 0;
};

/// A sweep of a level: every sample, and the level's own totals.
struct LevelSweep
{
    std::vector<SweepSample> samples;
    Ogre::Real step = 0; ///< as used
    Ogre::Real nearClip = 0.1f; ///< of the sweep's camera, from the level's size
    size_t levelZones = 0, levelObjects = 0;
    double milliseconds = 0;

    /** Samples places through the level and records what the engine draws from each, portal
        culling included, into a small picture: in a level with zones, places inside each
        zone's enclosure, at least its middle; without, places over the framed extent at a
        height above its ground; and the level's cameras, each as it looks. Each place looks
        eight ways, level with the ground. The same level and settings give the same samples. */
    static LevelSweep Of(Ogre::SceneManager* sceneManager, const Tarnel::TarnelScene& scene,
                         const SweepSettings& settings);

    /// Puts the camera where the sample stood, looking as it looked (a level camera's field of view aside).
    void Aim(Ogre::Camera* camera, const SweepSample& sample, const Ogre::Vector3& up) const;

    /// The sample that draws the most triangles, of those in the zone (all: empty); null when none.
    const SweepSample* Worst(const Ogre::String& zone = "") const;
    /// Each zone's worst, in the zones' order by name; the level's alone when it has no zones.
    std::vector<const SweepSample*> WorstByZone() const;

    /// A sample's place as the texts give it: "(24.44, 1.56, 20.28)", a speck off zero as 0.
    static Ogre::String PlaceText(const Ogre::Vector3& at);
};

#endif
