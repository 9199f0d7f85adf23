#ifndef TARNEL_FUZZ_LEVEL_GRAMMAR_H
#define TARNEL_FUZZ_LEVEL_GRAMMAR_H

#include <cstddef>
#include <cstdint>
#include <string>

/** Well-formed levels made from the format's elements and attributes, steered by the
    fuzzer's bytes: every byte picks an element, an attribute or a value. Values come from
    edge sets (0, -0, negative, huge, not a number, degrees where radians belong, empty and
    repeated names, full pools, zero vectors and planes, every keyword and a misspelling of
    it), so that the loader meets what exporters and strangers write, not broken XML. */
namespace LevelGrammar
{
    /// A level and the model file "input.model" that its nodes may instance.
    struct Level
    {
        std::string scene, model;
    };

    /// The level the bytes describe, then its model file from the bytes left; the same bytes make the same level.
    Level Generate(const uint8_t* data, size_t size);
}

#endif
