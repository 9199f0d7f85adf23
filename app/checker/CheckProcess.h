#ifndef TARNEL_APP_CHECK_PROCESS_H
#define TARNEL_APP_CHECK_PROCESS_H

#include "LevelCheck.h"

#include <filesystem>
#include <functional>
#include <vector>

/** Checks the level in a child process of its own, which starts the engine, loads and
    draws the level and hands its findings back. A level that aborts or crashes the
    engine costs only its own check: it is reported as failed, with the signal and the
    last lines of its log, and the caller goes on with the next. A path that is not a
    readable file is reported in one line without a child. The engine's files are
    found in the program's folder; the log goes to the level's check alone. */

/** Checks each level in a child process of its own, `jobs` at a time (at least one).
    `started` is told the index of each level as its check starts; `reported` gets each
    level's findings in the levels' order, as soon as those before it are in. Returns
    the findings in that order. */
std::vector<LevelCheck> CheckInOwnProcesses(const std::vector<Ogre::String>& files,
                                            const std::filesystem::path& programFolder,
                                            const CheckSettings& settings, unsigned jobs,
                                            const std::function<void(size_t)>& started,
                                            const std::function<void(size_t, const LevelCheck&)>& reported);

#endif
