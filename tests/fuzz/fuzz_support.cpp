#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/platform.h"

int fuzzMessageBoxes;
volatile uint8_t fuzzTouchSum;

void EnterScratchDirectory(const char* name)
{
    // tmpfs where there is one: the records writer syncs every file it writes.
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    std::filesystem::path scratch =
        base / ("vortanai-fuzz-" + std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(scratch);
    for (const char* folder : {"duomenys", "vortanai", "rekordai"})
    {
        std::filesystem::create_directories(scratch / folder);
    }
    std::filesystem::current_path(scratch);
    // The directory goes when the run ends; a crash leaves it for a look.
    static std::filesystem::path kept;
    kept = scratch;
    std::atexit([] { std::filesystem::remove_all(kept); });
}

void WriteFuzzFile(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
    {
        std::perror(path);
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
    {
        std::perror(path);
        std::abort();
    }
    std::fclose(file);
}

void TouchBytes(const void* bytes, size_t size)
{
    const volatile uint8_t* at = static_cast<const volatile uint8_t*>(bytes);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i)
    {
        sum = static_cast<uint8_t>(sum + at[i]);
    }
    fuzzTouchSum = static_cast<uint8_t>(fuzzTouchSum + sum);
}

size_t CountAnnouncedTgaBytes(const uint8_t* data, size_t size)
{
    if (size < 17)
    {
        return 0;
    }
    int64_t width = static_cast<int16_t>(data[12] | (data[13] << 8));
    int64_t height = static_cast<int16_t>(data[14] | (data[15] << 8));
    int64_t bytes = width * height * (data[16] / 8);
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

// ---- The system half of the platform, as far as the readers reach it ----

void ShowMessageBox(const char*, const char*, MessageIcon)
{
    ++fuzzMessageBoxes;
}

void GetDesktopMode(int32_t* width, int32_t* height, int32_t* refreshRate)
{
    *width = 1280;
    *height = 1024;
    *refreshRate = 60;
}

int64_t ReadPerformanceCounter()
{
    static int64_t counter = 1000000;
    return counter += 12345;
}

int64_t ReadPerformanceFrequency()
{
    return 1000000;
}
