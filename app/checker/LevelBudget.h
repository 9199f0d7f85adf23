#ifndef TARNEL_APP_LEVEL_BUDGET_H
#define TARNEL_APP_LEVEL_BUDGET_H

#include "LevelSweep.h"

#include <OgrePrerequisites.h>

#include <vector>

/** The most a level may draw from any place of its sweep: triangles, batches (draw calls)
    and objects; 0 sets no bound. Written "triangles=500000,batches=800,objects=300", on the
    command line or in a file "tarnel-budget.txt" beside the levels (its folder or one above),
    so that a game's build server keeps one file. */
struct LevelBudget
{
    size_t triangles = 0, batches = 0, objects = 0;

    bool Any() const { return triangles || batches || objects; }

    /// Raises std::invalid_argument, naming what it takes, for text that is not a budget.
    static LevelBudget Parse(const Ogre::String& text);
    /** The budget of the level: the nearest "tarnel-budget.txt" above it, each bound that
        `given` sets taking its place. Raises std::invalid_argument for a file that is not a
        budget, naming it. */
    static LevelBudget ForLevel(const Ogre::String& levelFile, const LevelBudget& given);

    /** Each bound the sweep passes, at its worst sample: "over budget: 1,234,000 triangles
        from (1.5, 1.6, -3) looking north-east in zone Hall_PCZone; budget 500,000". */
    std::vector<Ogre::String> Exceeded(const LevelSweep& sweep) const;
};

/// 1,234,000
Ogre::String Grouped(size_t number);

#endif
