#ifndef TARNEL_DOMAINS_H
#define TARNEL_DOMAINS_H

#include <OgreLog.h>
#include <OgreMath.h>
#include <OgrePlane.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <utility>
#include <vector>

class TiXmlElement;

namespace Tarnel
{
    /** The domains of the engine calls that view and lighting settings from a file go to.

        The engine keeps its assertions on, so a value outside a call's domain (a field of
        view in degrees, a zero rotation, a near clip of 0) would end the program, often
        at the first frame. Each function here returns the value when it lies in the
        domain; otherwise the setting the level plainly meant or the default the call
        would have had, with one warning line in the log that names the element, the
        attribute, the value as written and what is used instead. */
    namespace Domains
    {
        /** A vertical field of view: above 0 and below pi radians. A value from pi up to
            180 was written in degrees and is read as such; any other keeps the default. */
        Ogre::Radian FieldOfView(const TiXmlElement* element, const char* attribute, Ogre::Real radians,
                                 Ogre::Radian fallback);

        /// An aspect ratio above 0; any other keeps the fallback.
        Ogre::Real AspectRatio(const TiXmlElement* element, const char* attribute, Ogre::Real ratio,
                               Ogre::Real fallback);

        /** Clip distances: near above 0; far 0 (no far plane) or above near. A near of 0 or
            below becomes a thousandth of far (a tenth of a unit without a far plane); a far
            that is negative or not beyond near becomes 0. */
        void Clipping(const TiXmlElement* element, Ogre::Real& nearClip, Ogre::Real& farClip);

        /** A spotlight's angle ("inner" or "outer"): from 0 (above 0 for the outer angle)
            to pi radians, since a cone that does not open or that opens past half a turn
            has no shadow camera. A value above pi up to 180 was written in degrees and
            is read as such; any other keeps the fallback. */
        Ogre::Radian SpotlightAngle(const TiXmlElement* element, const char* attribute, Ogre::Real radians,
                                    Ogre::Radian fallback);

        /// A value that must not be negative (an attenuation term); below 0 keeps the fallback.
        Ogre::Real NotNegative(const TiXmlElement* element, const char* attribute, Ogre::Real value,
                               Ogre::Real fallback);

        /// A value that must be above 0 (a light's range); any other keeps the fallback.
        Ogre::Real Positive(const TiXmlElement* element, const char* attribute, Ogre::Real value,
                            Ogre::Real fallback);

        /** A rotation whose length is 0 or overflows single precision has no direction:
            it keeps the identity. A rotation whose length only single precision cannot
            measure is scaled to unit length. Every other rotation is kept as written
            (the engine scales it). */
        Ogre::Quaternion Rotation(const TiXmlElement* element, const Ogre::Quaternion& rotation);

        /** A region's size, each side above 0: the engine's regions of a side of 0 or less
            are inverted boxes. Any other keeps the fallback. */
        Ogre::Vector3 RegionSize(const TiXmlElement* element, const Ogre::Vector3& size, const Ogre::Vector3& fallback);

        /** A node's scale, each side at least 1e-6 across: a node scaled to nothing has no
            inverse, which the engine takes to bring a particle system's bounds home (and
            the bounds come out not a number). A smaller side keeps its sign at 1e-6. */
        Ogre::Vector3 Scale(const TiXmlElement* element, const Ogre::Vector3& scale);

        /// A direction of length 0 (or one that overflows) points nowhere: it keeps the fallback.
        Ogre::Vector3 Direction(const TiXmlElement* element, const Ogre::Vector3& direction,
                                const Ogre::Vector3& fallback);

        /** A plane whose normal has length 0 (or overflows) is no plane: the engine's shadow
            camera asserts on it at the first frame. It keeps the fallback. */
        Ogre::Plane PlaneWithNormal(const TiXmlElement* element, const Ogre::Plane& plane, const Ogre::Plane& fallback);

        /** A plane mesh's up vector: one along the plane's normal gives the mesh no up, which
            the engine refuses; it is then the axis least along the normal, Y or Z, with a
            warning. The normal is not of length 0. */
        Ogre::Vector3 PlaneUp(const TiXmlElement* element, const Ogre::Vector3& normal, const Ogre::Vector3& up);

        /** A render queue (the attribute's text, parsed as the format says): one past the
            engine's last queue, which the engine asserts on, is the last queue. */
        Ogre::uint8 RenderQueue(const TiXmlElement* element, const char* attribute, const Ogre::String& text);

        /// A number past Limits::MAX_REAL: the bound of its sign, with a warning.
        Ogre::Real Magnitude(const TiXmlElement* element, const char* attribute, Ogre::Real value);

        /** Logs the one warning line for a value outside its domain:
            `Tarnel: <what> "<name>" has <attribute>="<value>", <problem>; <outcome> (<file>:<line>)`,
            the place where the element's document has a name and rows. */
        void Warn(const TiXmlElement* element, const char* attribute, const Ogre::String& problem,
                  const Ogre::String& outcome);

        /// " (<file>:<line>)" for the element, from its document's name; empty when it has none.
        Ogre::String Where(const TiXmlElement* element);

        /** While it lives, the readers' warnings go to a log of their own: a second reading
            of a level (a pre-check, a resource walk) leaves Ogre.log to the load. */
        class QuietLog : private Ogre::LogListener
        {
        public:
            QuietLog();
            ~QuietLog();
            QuietLog(const QuietLog&) = delete;
            QuietLog& operator=(const QuietLog&) = delete;

            /// What was said while it lived, with its level, to be said again where it belongs.
            const std::vector<std::pair<Ogre::LogMessageLevel, Ogre::String>>& Said() const { return said; }

        private:
            void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool maskDebug,
                               const Ogre::String& logName, bool& skipThisMessage) override;

            Ogre::Log* scratch;
            Ogre::Log* previous;
            std::vector<std::pair<Ogre::LogMessageLevel, Ogre::String>> said;
        };
    }
}

#endif
