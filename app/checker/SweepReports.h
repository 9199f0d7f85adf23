#ifndef TARNEL_APP_SWEEP_REPORTS_H
#define TARNEL_APP_SWEEP_REPORTS_H

#include "LevelCheck.h"

#include <nlohmann/json.hpp>

#include <ostream>

/// A level's sweep and budget in its JSON: "sweep" (null when not swept), "overBudget", "heaviestPicture".
void AddSweepJson(nlohmann::ordered_json& level, const LevelCheck& check);
void ReadSweepJson(const nlohmann::ordered_json& level, LevelCheck& check);

/** The text's lines of a sweep: how many places, then each zone's heaviest place ("the
    level's" without zones) with what it draws and its share of the level's triangles. */
std::vector<Ogre::String> SweepLines(const LevelCheck& check);

/** The report card's map of the sweep: the places seen from above, each coloured by the
    triangles of its heaviest direction (green light, red heavy), the heaviest ringed, with
    what each draws in its tooltip. Nothing for a level not swept. */
void WriteSweepMap(std::ostream& out, const LevelCheck& check, Ogre::String (*escaped)(const Ogre::String&));

#endif
