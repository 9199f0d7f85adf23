#ifndef TARNEL_ENVIRONMENT_H
#define TARNEL_ENVIRONMENT_H

#include "Tarnel/Read/Types.h"

class TiXmlElement;

namespace Tarnel
{
    /// Readers of the environment's elements that the load and the resource walk share.
    namespace Environment
    {
        /// Whether the element is a sky box, dome or plane.
        bool IsSky(const TiXmlElement* element);
        /// A sky's description; segment counts out of the engine's bounds are refused.
        Types::SkyParameters ReadSky(const TiXmlElement* element);
    }
}

#endif
