#ifndef TARNEL_OBJECT_READING_H
#define TARNEL_OBJECT_READING_H

#include "Tarnel/Types.h"

class TiXmlElement;

namespace Tarnel
{
    /** What every object element of a level may carry, whatever its kind: read
        one way here, so that the kinds differ only where the format makes them. */
    namespace ObjectReading
    {
        /// Query flags, visibility flags and the visible attribute.
        void ReadCommonAttributes(const TiXmlElement* element, Types::ObjectParameters& parameters);
        /// Zero flags and a default visibility leave the engine's own values.
        void ApplyCommonSettings(Ogre::MovableObject* object, const Types::ObjectParameters& parameters);
        /// Render queue and rendering distance, which every drawn kind has.
        void ReadQueueAndDistance(const TiXmlElement* element, Types::ObjectParameters& parameters);
        void ApplyQueueAndDistance(Ogre::MovableObject* object, const Types::ObjectParameters& parameters);
        /// User data and note tracks; false for other children.
        bool LoadExtraDataChild(const TiXmlElement* child, Types::ObjectExtraData& extraData);
    }
}

#endif
