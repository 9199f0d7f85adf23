#include "Tarnel/TarnelPlatform.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace Tarnel
{
namespace Platform
{
    Ogre::String NativeSeparators(const Ogre::String& path)
    {
        Ogre::String native = path;
        std::replace(native.begin(), native.end(), '\\', '/');
        return native;
    }

    Ogre::String FullPath(const Ogre::String& path)
    {
        std::error_code error;
        if (path.empty())
            return std::filesystem::current_path(error).string();
        std::filesystem::path full = std::filesystem::absolute(NativeSeparators(path), error);
        if (error)
            return NativeSeparators(path);
        return full.lexically_normal().string();
    }

    bool FileExists(const Ogre::String& path)
    {
        std::error_code error;
        return std::filesystem::exists(path, error);
    }
}
}
