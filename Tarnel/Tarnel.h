#ifndef TARNEL_H
#define TARNEL_H

/** The level loader's public face, for programs and tests: one include.

    A level goes through three stages, each in a folder of its own, with the media and the
    engine's start-up beside them:
    - Read (Tarnel/Read): a level file parsed and read whole into a plain description
      (`LevelReader`, `LevelDescription`), the model files it instances read into it
      (`ReadModelFiles`), with what the readers said of its values on the way;
    - Check (Tarnel/Check): the one check of a description (`CheckLevel`), what its media
      lack (`FindMissingResources`), what the load leaves unread (`UnreadParts`), and its
      nodes and objects as the build names them (`ForEachBuiltPart`);
    - Scene (Tarnel/Scene): a description built into a portal-connected-zone scene manager
      (`TarnelScene`), and the level's cameras to look through (`LevelCameras`).
    Beside them: the engine started once for every program (`Engine`, with the platform's
    fixes in `Platform`), and the rules for media the engine cannot draw as they are
    (`TarnelMedia`). */

#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelLimits.h"
#include "Tarnel/Read/TarnelModelFiles.h"
#include "Tarnel/Read/TarnelPaths.h"

#include "Tarnel/Check/TarnelLevelCheck.h"
#include "Tarnel/Check/TarnelLevelReferences.h"
#include "Tarnel/Check/TarnelNames.h"
#include "Tarnel/Check/TarnelUnreadParts.h"
#include "Tarnel/Check/TarnelZones.h"

#include "Tarnel/Scene/TarnelLevelViews.h"
#include "Tarnel/Scene/TarnelScene.h"

#include "Tarnel/Media/TarnelMedia.h"

#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Engine/TarnelPlatform.h"

#endif
