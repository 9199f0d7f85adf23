// Reloads each input as the level file of one viewer, as F5 would, and draws it.
#include "FuzzEngine.h"

#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelLimits.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    /// Inputs run; printed with those drawn when the process ends.
    unsigned long inputs = 0;

    void PrintCounts() { std::fprintf(stderr, "scene inputs: %lu, reloaded and drawn: %lu\n", inputs, FuzzEngine::Drawn()); }
}

namespace
{
    /// Whether the text is a document the loader would go on to read: nested within bounds, and parsing.
    bool Parses(const uint8_t* data, size_t size)
    {
        std::string text(reinterpret_cast<const char*>(data), size);
        if (Tarnel::TarnelUtilities::NestsDeeperThan(text.c_str(), Tarnel::Limits::MAX_ELEMENT_DEPTH))
            return false;
        TiXmlDocument document;
        document.Parse(text.c_str());
        return !document.Error();
    }
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

/** Most byte-level mutations break a document's structure, and a level that does not parse is
    refused before anything is drawn: a few tries for a mutation that still parses, so that most
    inputs reach the loader and the drawing. The last try stands when none parses. */
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int)
{
    const std::vector<uint8_t> original(data, data + size);
    for (int attempt = 0; attempt < 8; ++attempt)
    {
        size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
        if (attempt == 7 || Parses(data, mutated))
            return mutated;
        std::copy(original.begin(), original.end(), data);
    }
    return size;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEngine::StartViewer();
    std::atexit(PrintCounts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (FuzzEngine::NamesResourceLocations(data, size))
        return -1;
    ++inputs;
    FuzzEngine::WriteInput("input.scene", data, size);
    FuzzEngine::ReloadAndDraw();
    return 0;
}
