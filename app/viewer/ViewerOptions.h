#ifndef TARNEL_VIEWER_OPTIONS_H
#define TARNEL_VIEWER_OPTIONS_H

#include "Viewer.h"

#include <string>

/// The viewer's command line, read from one table of its options.
struct ViewerCommandLine
{
    Viewer::Options options; ///< with the level given, or the default level when none is
    bool help = false;
    bool levelGiven = false;
    bool sizeGiven = false; ///< a picture size without a picture is no command
    std::string sweepFile;  ///< --sweep-file, read once the level is known

    /** Reads the arguments; raises std::invalid_argument for an unknown option, a missing or
        bad value, two levels, or a size without a picture: with a one-line reason, or an
        empty one when the usage alone says it. */
    static ViewerCommandLine Parse(int argc, char** argv);

    /// The usage text, with every option and key.
    static std::string Usage();
};

#endif
