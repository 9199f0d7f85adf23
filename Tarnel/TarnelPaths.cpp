// Path functions of the readers.
#include "Tarnel/TarnelUtilities.h"
#include "Tarnel/TarnelPlatform.h"

using namespace Ogre;

namespace Tarnel
{
    bool TarnelUtilities::IsAbsolutePath(const String& path)
    {
        if (path.size() < 2)
            return !path.empty() && path[0] == '/';
        return path[1] == ':'                          // drive letter
               || (path[0] == '\\' && path[1] == '\\') // network path
               || path[0] == '/';                      // POSIX root
    }

    void TarnelUtilities::MakeFullPath(String& path)
    {
        path = Platform::FullPath(path);
    }

    String TarnelUtilities::JoinPath(const String& basePath, const String& path)
    {
        if (IsAbsolutePath(path))
            return path;

        String joined = basePath;
        if (!joined.empty() && joined.back() != '\\' && joined.back() != '/')
            joined += "/";
        size_t start = path.find_first_not_of("\\/");
        if (start != String::npos)
            joined += path.substr(start);
        MakeFullPath(joined);
        return joined;
    }
}
