// Messages alike but for their names, said once with a count.
#include "WarningGroups.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <cstring>

using Ogre::String;

namespace
{
    bool Separator(char c) { return std::isspace((unsigned char)c) || std::strchr(",;:()[]<>", c); }

    /// Whether the word names something: a digit, a slash, an underscore, or a dot inside it.
    bool Names(const String& word)
    {
        for (size_t i = 0; i < word.size(); ++i)
        {
            char c = word[i];
            if (std::isdigit((unsigned char)c) || c == '/' || c == '\\' || c == '_' ||
                (c == '.' && i + 1 < word.size() && word[i + 1] != '.'))
                return true;
        }
        return false;
    }

    /** The message with each name made "*": quoted values (a quote after a letter is an
        apostrophe, as in "Can't") and words that name something. The names go to `names`. */
    String Shape(const String& message, std::vector<String>* names)
    {
        String shape;
        for (size_t i = 0; i < message.size();)
        {
            char c = message[i];
            bool quote = (c == '\'' || c == '"') && (i == 0 || !std::isalnum((unsigned char)message[i - 1]));
            size_t close = quote ? message.find(c, i + 1) : String::npos;
            if (close != String::npos)
            {
                if (names)
                    names->push_back(message.substr(i + 1, close - i - 1));
                shape += "*";
                i = close + 1;
                continue;
            }
            if (Separator(c))
            {
                shape += c;
                ++i;
                continue;
            }
            size_t end = i;
            while (end < message.size() && !Separator(message[end]))
                ++end;
            String word = message.substr(i, end - i);
            if (Names(word))
            {
                if (names)
                    names->push_back(word);
                shape += "*";
            }
            else
                shape += word;
            i = end;
        }
        return shape;
    }
}

String MessageShape(const String& message)
{
    // A list of names is one name, however long: "used by A, B, C" is "used by *".
    String shape = Shape(message, nullptr);
    for (size_t list = shape.find("*, *"); list != String::npos; list = shape.find("*, *", list))
        shape.erase(list + 1, 3);
    return shape;
}

std::vector<String> WithoutRepeatsOfMissing(const std::vector<String>& lines)
{
    static const String missing = "Tarnel: missing ";
    std::vector<String> names;
    for (const String& line : lines)
    {
        const size_t at = line.find(missing);
        const size_t open = at == String::npos ? at : line.find('\'', at);
        const size_t close = open == String::npos ? open : line.find('\'', open + 1);
        if (close != String::npos)
            names.push_back(line.substr(open, close - open + 1));
    }
    std::vector<String> kept;
    for (const String& line : lines)
        if (line.find(missing) != String::npos ||
            std::none_of(names.begin(), names.end(), [&line](const String& name) { return line.find(name) != String::npos; }))
            kept.push_back(line);
    return kept;
}

std::vector<WarningGroup> GroupWarnings(const std::vector<String>& warnings)
{
    std::vector<WarningGroup> groups;
    std::map<String, size_t> byShape;
    const size_t firstSubjects = 5;
    for (const String& warning : warnings)
    {
        auto [entry, fresh] = byShape.emplace(MessageShape(warning), groups.size());
        if (fresh)
        {
            WarningGroup group;
            group.severity = warning.find("Error") != String::npos || warning.find("error") == 0 ? "error" : "warning";
            group.kind = warning.find("Tarnel:") != String::npos          ? "loader"
                         : warning.find("ScriptCompiler") != String::npos ? "script"
                                                                          : "engine";
            group.message = warning;
            groups.push_back(group);
        }
        WarningGroup& group = groups[entry->second];
        ++group.count;
        // The first name a line gives is its subject.
        std::vector<String> names;
        Shape(warning, &names);
        for (const String& subject : names)
        {
            if (std::none_of(subject.begin(), subject.end(), [](char c) { return std::isalpha((unsigned char)c); }))
                continue;
            if (group.subjects.size() < firstSubjects &&
                std::find(group.subjects.begin(), group.subjects.end(), subject) == group.subjects.end())
                group.subjects.push_back(subject);
            break;
        }
    }
    return groups;
}

String DescribeGroup(const WarningGroup& group)
{
    String line = group.message;
    if (group.count < 2)
        return line;
    line += " (" + std::to_string(group.count) + " times";
    for (size_t i = 0; i < group.subjects.size(); ++i)
        line += (i ? ", " : ": ") + group.subjects[i];
    if (group.subjects.size() < group.count)
        line += ", ... +" + std::to_string(group.count - group.subjects.size());
    return line + ")";
}
