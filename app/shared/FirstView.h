#ifndef TARNEL_APP_FIRST_VIEW_H
#define TARNEL_APP_FIRST_VIEW_H

#include "LevelExtent.h"
#include "LevelFraming.h"
#include "ViewProbe.h"

#include <OgrePrerequisites.h>

#include <vector>

namespace Tarnel
{
    class TarnelScene;
}

/** The first view of a level, chosen by what it shows. Candidate views (the level's own
    cameras, the level framed from its four raised corners, views from inside it and from
    inside its zones) are drawn small off screen and scored: the share of the picture the
    level covers (a bare ground counts for little, a sky or backdrop for nothing) and how
    many of its objects are in view, less what back faces hide and less a view filled by
    one surface. A level camera is taken when it scores near the best: it is the author's. */
class FirstView
{
public:
    /// One view tried.
    struct Candidate
    {
        Ogre::String name;                ///< "through camera camera0", "the raised corner", ...
        Ogre::Camera* levelCamera = nullptr; ///< looked through, when it is one of the level's
        LevelFraming framing;             ///< where it stands otherwise
        ViewProbe::Measure measure;
        double score = 0;
    };

    /** Chooses among the candidate views of the level the camera's scene manager holds, for
        that camera's field of view and aspect ratio, and says in the log which and why. */
    static FirstView Choose(Ogre::Camera* camera, const Tarnel::TarnelScene* scene,
                            const std::vector<Ogre::Camera*>& levelCameras, const Ogre::Vector3& up);

    /** Puts the camera where the chosen view is, with the clip distances, light reach and
        flying speed that fit the level. */
    void Apply(Ogre::Camera* camera, Ogre::Light* light) const;

    const Candidate& Chosen() const { return tried[chosen]; }
    const std::vector<Candidate>& Tried() const { return tried; }
    const LevelExtent& Extent() const { return extent; }
    Ogre::Real MoveSpeed() const { return sizing.moveSpeed; }
    /// "through camera camera0 (covers 71 % of the picture, spans 92 %); the raised corner covered 0.2 % (...)"
    const Ogre::String& Line() const { return line; }
    /// Why the level shows little or nothing, one finding a line; empty when it shows itself.
    const std::vector<Ogre::String>& Findings() const { return findings; }
    double Milliseconds() const { return milliseconds; }

    /// The score of what a view shows, out of `frameObjects` that set the frame.
    static double Score(const ViewProbe::Measure& measure, size_t frameObjects);

private:
    std::vector<Candidate> tried;
    size_t chosen = 0;
    LevelExtent extent;
    LevelFraming sizing;
    Ogre::String line;
    std::vector<Ogre::String> findings;
    double milliseconds = 0;
    bool levelLit = false; ///< a light of the level's own reaches a drawn object
};

#endif
