// Reloads and draws levels made from the format's grammar, each with a model file its nodes may
// instance, in one viewer as F5 would: every input is a well-formed level, so every execution
// reaches the check and, when the level passes it, the build and the drawing.
#include "FuzzEngine.h"
#include "LevelGrammar.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
    unsigned long inputs = 0;

    void PrintCounts() { std::fprintf(stderr, "level inputs: %lu, reloaded and drawn: %lu\n", inputs, FuzzEngine::Drawn()); }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEngine::StartViewer();
    std::atexit(PrintCounts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ++inputs;
    const LevelGrammar::Level level = LevelGrammar::Generate(data, size);
    if (std::getenv("TARNEL_FUZZ_VERBOSE"))
        std::fprintf(stderr, "%s\n%s\n", level.scene.c_str(), level.model.c_str());
    FuzzEngine::WriteInput("input.model", reinterpret_cast<const uint8_t*>(level.model.data()), level.model.size());
    FuzzEngine::WriteInput("input.scene", reinterpret_cast<const uint8_t*>(level.scene.data()), level.scene.size());
    FuzzEngine::ReloadAndDraw();
    return 0;
}
