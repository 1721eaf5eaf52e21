#include "text/safe_save.h"

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace
{

bool SyncPath(const char* path, int flags)
{
    int descriptor = open(path, flags);
    if (descriptor < 0)
    {
        return false;
    }
    bool synced = fsync(descriptor) == 0;
    close(descriptor);
    return synced;
}

} // namespace

bool SaveFileSafely(const char* path, bool (*writeBody)(FILE* file))
{
    std::string temporary = std::string(path) + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    bool written = writeBody(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path) != 0)
    {
        std::remove(temporary.c_str());
        return false;
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    SyncPath(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    return true;
}

bool MoveFileAside(const char* path, char* aside, size_t size)
{
    for (int i = 1; i <= 9; ++i)
    {
        std::string name = std::string(path) + ".sugadintas" + (i > 1 ? std::to_string(i) : "");
        std::error_code error;
        if (!std::filesystem::exists(name, error) && !error)
        {
            std::filesystem::rename(path, name, error);
            if (aside != nullptr)
            {
                std::snprintf(aside, size, "%s", name.c_str());
            }
            return !error;
        }
    }
    return false;
}
