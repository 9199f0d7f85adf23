#ifndef TARNEL_OPTION_TABLE_H
#define TARNEL_OPTION_TABLE_H

#include <cstddef>
#include <stdexcept>
#include <string>

/// One option of a program's table: its name, whether a value follows it, and what it sets.
template <class Options> struct OptionRow
{
    const char* name;
    bool takesValue;
    void (*take)(Options& options, const std::string& name, const std::string& value);
};

/** Takes the argument at argv[index] when the table has it, and moves past its value; false
    for an argument the table does not have. Raises std::invalid_argument for a missing value
    and passes on what the row raises for a bad one. */
template <class Options, size_t N>
bool TakeTableOption(const OptionRow<Options> (&table)[N], Options& options, int argc, char** argv, int& index)
{
    const std::string argument = argv[index];
    for (const OptionRow<Options>& row : table)
    {
        if (argument != row.name)
            continue;
        if (row.takesValue && index + 1 >= argc)
            throw std::invalid_argument(argument + " needs a value");
        row.take(options, argument, row.takesValue ? std::string(argv[++index]) : std::string());
        return true;
    }
    return false;
}

#endif
