#ifndef TARNEL_APP_ZONE_GRAPH_PAGE_H
#define TARNEL_APP_ZONE_GRAPH_PAGE_H

#include "LevelCheck.h"

#include <ostream>

/** A level's zones drawn for its card on the report page, as an inline picture without a
    script: each zone a box at its middle seen from above, named, each pair of joined
    portals a link between their zones, each portal without a match a stub; a zone or link
    with a fault in red, its faults in its tooltip. Nothing for a level without zones.
    `escaped` makes text safe in the page. */
void WriteZoneGraph(std::ostream& out, const LevelCheck& check, Ogre::String (*escaped)(const Ogre::String&));

#endif
