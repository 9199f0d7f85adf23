// Loads and draws levels made from the format's grammar: every input is a well-formed level,
// so every execution reaches the loader and, when the level loads, the drawing.
#include "FuzzEngine.h"
#include "LevelGrammar.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
    unsigned long inputs = 0;

    void PrintCounts() { std::fprintf(stderr, "level inputs: %lu, loaded and drawn: %lu\n", inputs, FuzzEngine::Drawn()); }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEngine::Start();
    std::atexit(PrintCounts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ++inputs;
    const std::string level = LevelGrammar::Generate(data, size);
    if (std::getenv("TARNEL_FUZZ_VERBOSE"))
        std::fprintf(stderr, "%s\n", level.c_str());
    FuzzEngine::LoadAndDraw(
        FuzzEngine::WriteInput("input.scene", reinterpret_cast<const uint8_t*>(level.data()), level.size()));
    return 0;
}
