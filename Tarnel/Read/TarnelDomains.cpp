// The domains of the engine calls that view and lighting settings go to.
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelKeywords.h"
#include "Tarnel/Read/TarnelLimits.h"

#include <OgreLogManager.h>
#include <OgreRenderQueue.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <cmath>
#include <sstream>
#include <string_view>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// The element, and the name of the nearest element that has one: `clipping of camera "Eye"`.
        String Describe(const TiXmlElement* element)
        {
            String text = element->ValueStr();
            for (const TiXmlElement* named = element; named; named = named->Parent() ? named->Parent()->ToElement() : nullptr)
            {
                if (const char* name = named->Attribute("name"))
                {
                    if (named != element)
                        text += " of " + named->ValueStr();
                    return text + " \"" + name + "\"";
                }
            }
            return text;
        }

        /// Each of the space-separated attributes that the element has, as written.
        String Written(const TiXmlElement* element, const char* attributes)
        {
            std::istringstream names(attributes);
            String text, name;
            while (names >> name)
            {
                if (const char* value = element->Attribute(name.c_str()))
                    text += (text.empty() ? "" : " ") + name + "=\"" + value + "\"";
            }
            return text.empty() ? String(attributes) + " absent" : text;
        }

        String Number(double value) { return StringConverter::toString(Real(value)); }

        /** An angle above 0 (or from 0 where zero is allowed) below pi (or up to pi where pi
            is allowed); past pi up to 180 it was written in degrees. */
        Radian Angle(const TiXmlElement* element, const char* attribute, Real radians, Radian fallback,
                     bool zeroAllowed, bool piAllowed)
        {
            auto inDomain = [&](Real value) {
                return (value > 0 || (zeroAllowed && value == 0)) && (value < Math::PI || (piAllowed && value == Math::PI));
            };
            if (inDomain(radians))
                return Radian(radians);
            const String domain = String("which is not ") + (zeroAllowed ? "from 0" : "above 0") +
                                  (piAllowed ? " up to pi" : " and below pi") + " radians";
            if (radians > 0 && radians <= 180 && inDomain(Degree(radians).valueRadians()))
            {
                Domains::Warn(element, attribute, domain, "it is read as " + Number(radians) + " degrees");
                return Degree(radians);
            }
            Domains::Warn(element, attribute, domain, "it keeps " + Number(fallback.valueRadians()));
            return fallback;
        }

        /// The length of a quaternion or vector, measured in double precision.
        double Length(double w, double x, double y, double z) { return std::sqrt(w * w + x * x + y * y + z * z); }
    }

    String Domains::Where(const TiXmlElement* element)
    {
        const TiXmlDocument* document = element ? element->GetDocument() : nullptr;
        if (!document || document->ValueStr().empty() || element->Row() <= 0)
            return "";
        return " (" + document->ValueStr() + ":" + std::to_string(element->Row()) + ")";
    }

    void Domains::Warn(const TiXmlElement* element, const char* attribute, const String& problem,
                       const String& outcome)
    {
        LogManager::getSingleton().logWarning("Tarnel: " + Describe(element) + " has " + Written(element, attribute) +
                                              ", " + problem + "; " + outcome + Where(element));
    }

    Real Domains::Magnitude(const TiXmlElement* element, const char* attribute, Real value)
    {
        Real bound = value < 0 ? -Limits::MAX_REAL : Limits::MAX_REAL;
        Warn(element, attribute, "which is past the largest magnitude a level may use", "it is " + Number(bound));
        return bound;
    }

    Radian Domains::FieldOfView(const TiXmlElement* element, const char* attribute, Real radians, Radian fallback)
    {
        return Angle(element, attribute, radians, fallback, false, false);
    }

    Radian Domains::SpotlightAngle(const TiXmlElement* element, const char* attribute, Real radians, Radian fallback)
    {
        // A cone that does not open has no shadow camera.
        return Angle(element, attribute, radians, fallback, std::string_view(attribute) == "inner", true);
    }

    Real Domains::AspectRatio(const TiXmlElement* element, const char* attribute, Real ratio, Real fallback)
    {
        return Positive(element, attribute, ratio, fallback);
    }

    Real Domains::Positive(const TiXmlElement* element, const char* attribute, Real value, Real fallback)
    {
        if (value > 0)
            return value;
        Warn(element, attribute, "which is not above 0", "it keeps " + Number(fallback));
        return fallback;
    }

    Real Domains::NotNegative(const TiXmlElement* element, const char* attribute, Real value, Real fallback)
    {
        if (value >= 0)
            return value;
        Warn(element, attribute, "which is below 0", "it keeps " + Number(fallback));
        return fallback;
    }

    void Domains::Clipping(const TiXmlElement* element, Real& nearClip, Real& farClip)
    {
        if (farClip < 0)
        {
            Warn(element, "far", "which is below 0", "the camera has no far clip plane");
            farClip = 0;
        }
        if (nearClip <= 0)
        {
            Real meant = farClip > 0 ? farClip / 1000 : Real(0.1);
            Warn(element, "near", "which is not above 0", "it is " + Number(meant));
            nearClip = meant;
        }
        if (farClip != 0 && farClip <= nearClip)
        {
            Warn(element, "near far", "a far clip not beyond the near one", "the camera has no far clip plane");
            farClip = 0;
        }
    }

    Quaternion Domains::Rotation(const TiXmlElement* element, const Quaternion& rotation)
    {
        // The engine scales rotations to unit length in single precision.
        Real norm = rotation.Norm();
        if (std::isfinite(norm) && norm > 0)
            return rotation;
        double length = Length(rotation.w, rotation.x, rotation.y, rotation.z);
        if (length == 0)
        {
            Warn(element, "qw qx qy qz axisX axisY axisZ angle", "a rotation of length 0", "it keeps the identity");
            return Quaternion::IDENTITY;
        }
        Warn(element, "qw qx qy qz axisX axisY axisZ angle", "a rotation whose length single precision cannot measure",
             "it is scaled to unit length");
        return Quaternion(Real(rotation.w / length), Real(rotation.x / length), Real(rotation.y / length),
                          Real(rotation.z / length));
    }

    Vector3 Domains::RegionSize(const TiXmlElement* element, const Vector3& size, const Vector3& fallback)
    {
        if (size.x > 0 && size.y > 0 && size.z > 0)
            return size;
        Warn(element, "x y z", "a size not above 0 on every side", "it keeps " + StringConverter::toString(fallback));
        return fallback;
    }

    Vector3 Domains::Scale(const TiXmlElement* element, const Vector3& scale)
    {
        const Real smallest = 1e-6f;
        Vector3 kept = scale;
        for (int side = 0; side < 3; ++side)
        {
            if (std::abs(kept[side]) < smallest)
                kept[side] = std::signbit(kept[side]) ? -smallest : smallest;
        }
        if (kept != scale)
            Warn(element, "x y z", "a scale of 0 on a side, which no inverse undoes",
                 "it is " + StringConverter::toString(kept));
        return kept;
    }

    Vector3 Domains::Direction(const TiXmlElement* element, const Vector3& direction, const Vector3& fallback)
    {
        Real squared = direction.squaredLength();
        if (std::isfinite(squared) && squared > 0)
            return direction;
        double length = Length(0, direction.x, direction.y, direction.z);
        if (std::isfinite(length) && length > 0)
            return Vector3(Real(direction.x / length), Real(direction.y / length), Real(direction.z / length));
        Warn(element, "x y z", "a direction of length 0", "it keeps " + StringConverter::toString(fallback));
        return fallback;
    }

    Vector3 Domains::PlaneUp(const TiXmlElement* element, const Vector3& normal, const Vector3& up)
    {
        // The engine's own test: the cross product of the two.
        if (!up.crossProduct(normal).isZeroLength())
            return up;
        const Vector3 other = std::abs(normal.normalisedCopy().y) < 0.9f ? Vector3::UNIT_Y : Vector3::UNIT_Z;
        LogManager::getSingleton().logWarning("Tarnel: " + Describe(element) + " has its up vector " +
                                              StringConverter::toString(up) + " along its normal " +
                                              StringConverter::toString(normal) + ", which gives the plane no up; "
                                              "its up is " + StringConverter::toString(other) + Where(element));
        return other;
    }

    Plane Domains::PlaneWithNormal(const TiXmlElement* element, const Plane& plane, const Plane& fallback)
    {
        Real squared = plane.normal.squaredLength();
        if (std::isfinite(squared) && squared > 0)
            return plane;
        Warn(element, "planeX planeY planeZ", "which is no plane: its normal has length 0",
             "it keeps the plane " + StringConverter::toString(fallback.normal) + " at " +
                 Number(fallback.d == 0 ? 0 : fallback.d)); // no "-0"
        return fallback;
    }

    uint8 Domains::RenderQueue(const TiXmlElement* element, const char* attribute, const String& text)
    {
        uint8 queue = TarnelUtilities::ParseRenderQueue(text);
        if (queue <= RENDER_QUEUE_MAX)
            return queue;
        Warn(element, attribute, "which is past the last render queue, " + std::to_string(int(RENDER_QUEUE_MAX)),
             "it is " + std::to_string(int(RENDER_QUEUE_MAX)));
        return RENDER_QUEUE_MAX;
    }

    Domains::QuietLog::QuietLog()
    {
        LogManager& logs = LogManager::getSingleton();
        // Named after itself: a quiet reading may run inside another.
        std::ostringstream name;
        name << "Tarnel/QuietLog@" << static_cast<const void*>(this);
        scratch = logs.createLog(name.str(), false, false, true);
        scratch->addListener(this);
        previous = logs.setDefaultLog(scratch);
    }

    Domains::QuietLog::~QuietLog()
    {
        LogManager::getSingleton().setDefaultLog(previous);
        LogManager::getSingleton().destroyLog(scratch);
    }

    void Domains::QuietLog::messageLogged(const String& message, LogMessageLevel level, bool, const String&, bool&)
    {
        said.emplace_back(level, message);
    }
}
