#ifndef TARNEL_APP_CHECK_PROCESS_H
#define TARNEL_APP_CHECK_PROCESS_H

#include "LevelCheck.h"
#include "MediaSources.h"

#include <filesystem>

/** Checks the level in a child process of its own, which starts the engine, loads and
    draws the level and hands its findings back. A level that aborts or crashes the
    engine costs only its own check: it is reported as failed, with the signal and the
    last lines of its log, and the caller goes on with the next. A path that is not a
    readable file is reported in one line without a child. The engine's files are
    found in the program's folder; the log goes to the level's check alone. */
/// How the levels are checked, as the command line asks.
struct CheckSettings
{
    MediaSources media;        ///< the game's media beside each level's own
    bool lenientNames = false; ///< repeated names are renamed, not refused
};

LevelCheck CheckInOwnProcess(const Ogre::String& file, const std::filesystem::path& programFolder,
                             const CheckSettings& settings);

#endif
