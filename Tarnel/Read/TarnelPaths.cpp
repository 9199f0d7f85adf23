// Paths as levels write them, and what the file system says of them.
#include "Tarnel/Read/TarnelPaths.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

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
        path = FullPath(path);
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

    String TarnelUtilities::NativeSeparators(const String& path)
    {
        String native = path;
        std::replace(native.begin(), native.end(), '\\', '/');
        return native;
    }

    String TarnelUtilities::FullPath(const String& path)
    {
        std::error_code error;
        if (path.empty())
            return std::filesystem::current_path(error).string();
        std::filesystem::path full = std::filesystem::absolute(NativeSeparators(path), error);
        if (error)
            return NativeSeparators(path);
        return full.lexically_normal().string();
    }

    bool TarnelUtilities::FileExists(const String& path)
    {
        std::error_code error;
        return std::filesystem::exists(path, error);
    }

    String TarnelUtilities::UnreadableFileReason(const String& path)
    {
        std::error_code error;
        std::filesystem::file_status status = std::filesystem::status(path, error);
        if (status.type() == std::filesystem::file_type::not_found)
            return "";
        if (error)
            return "cannot be read: " + error.message();
        if (status.type() == std::filesystem::file_type::directory)
            return "is a folder, not a level file";
        if (status.type() != std::filesystem::file_type::regular)
            return "is not a regular file";
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return "cannot be read: " + std::generic_category().message(errno);
        return "";
    }
}
