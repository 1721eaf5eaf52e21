#include "present/screenshot.h"

#include <GL/gl.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <png.h>
#include <thread>
#include <unistd.h>
#include <vector>

Screenshot screenshot;

namespace
{

struct PictureJob
{
    std::vector<uint8_t> pixels; // bottom row first, as OpenGL reads them
    int32_t width;
    int32_t height;
    std::string folder;
    std::thread writer;
};

PictureJob job;

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file: "$HOME/..." or an absolute path.
std::string ReadPicturesDir(const std::string& configFile, const std::string& home)
{
    FILE* file = std::fopen(configFile.c_str(), "r");
    if (file == nullptr)
    {
        return "";
    }
    char line[1024];
    std::string found;
    while (std::fgets(line, sizeof line, file) != nullptr)
    {
        const char* key = "XDG_PICTURES_DIR=\"";
        char* value =
            std::strncmp(line, key, std::strlen(key)) == 0 ? line + std::strlen(key) : nullptr;
        char* end = value != nullptr ? std::strchr(value, '"') : nullptr;
        if (end == nullptr)
        {
            continue;
        }
        *end = '\0';
        if (std::strncmp(value, "$HOME", 5) == 0)
        {
            found = home + (value + 5);
        }
        else if (value[0] == '/')
        {
            found = value;
        }
    }
    std::fclose(file);
    return found;
}

bool WritePng(FILE* file, const PictureJob& picture)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
    for (int32_t y = 0; y < picture.height; ++y)
    {
        rows[static_cast<size_t>(y)] =
            const_cast<png_bytep>(picture.pixels.data() +
                                  static_cast<size_t>(picture.height - 1 - y) * picture.width * 3);
    }
    bool done = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
    if (done)
    {
        png_init_io(png, file);
        // The fastest compression: a picture of the screen is written while the game plays on.
        png_set_compression_level(png, 1);
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                     static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return done;
}

// Writes the picture under a part name, then links it to the first free name of the moment's, so
// that no earlier picture is written over and no half-written one is ever seen.
void WritePicture()
{
    std::error_code error;
    std::filesystem::create_directories(job.folder, error);
    std::string part = job.folder + "/.vortanai-" + std::to_string(getpid()) + ".part";
    FILE* file = std::fopen(part.c_str(), "wbx");
    bool written = file != nullptr && WritePng(file, job);
    written = file != nullptr && std::fclose(file) == 0 && written;
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "vortanai-%Y-%m-%d-%H%M%S", &local);
    bool linked = false;
    for (int32_t i = 1; written && !linked && i < 1000; ++i)
    {
        std::snprintf(screenshot.name, sizeof screenshot.name, "%s%s%s.png", stamp,
                      i > 1 ? "-" : "", i > 1 ? std::to_string(i).c_str() : "");
        linked = link(part.c_str(), (job.folder + "/" + screenshot.name).c_str()) == 0;
        if (!linked && errno != EEXIST)
        {
            break;
        }
    }
    std::remove(part.c_str());
    if (!linked)
    {
        std::snprintf(screenshot.name, sizeof screenshot.name, "%s", stamp);
    }
    screenshot.state = linked ? SHOT_KEPT : SHOT_FAILED;
}

} // namespace

std::string FindPicturesFolder()
{
    const char* homeValue = std::getenv("HOME");
    std::string home = homeValue != nullptr ? homeValue : "";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string configFolder =
        config != nullptr && config[0] == '/' ? std::string(config) : home + "/.config";
    std::string pictures = ReadPicturesDir(configFolder + "/user-dirs.dirs", home);
    return (pictures.empty() ? home + "/Pictures" : pictures) + "/Vortanai";
}

void RequestScreenshot()
{
    if (screenshot.state != SHOT_WRITING)
    {
        screenshot.state = SHOT_REQUESTED;
    }
}

void TakeRequestedScreenshot(int32_t width, int32_t height)
{
    if (screenshot.state != SHOT_REQUESTED || width <= 0 || height <= 0)
    {
        return;
    }
    FinishScreenshots();
    job.width = width;
    job.height = height;
    job.pixels.resize(static_cast<size_t>(width) * height * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, job.pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    job.folder = FindPicturesFolder();
    screenshot.noteSeconds = 0.0f;
    screenshot.state = SHOT_WRITING;
    job.writer = std::thread(WritePicture);
}

void FinishScreenshots()
{
    if (job.writer.joinable())
    {
        job.writer.join();
    }
}
