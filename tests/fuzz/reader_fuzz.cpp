// One libFuzzer driver for every file the game reads. Each target is this file built with
// FUZZ_READER naming its row of READERS: the row writes the input where the game looks for it,
// runs the reader and checks what the reader must keep on any bytes. A broken rule aborts with
// the rule's text, which libFuzzer reports as a crash.
#include <AL/al.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "flow/campaign.h"
#include "flow/game_state.h"
#include "flow/preferences.h"
#include "maze/maze_file.h"
#include "maze/maze_grid.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "records/best_times.h"
#include "records/player_name.h"
#include "records/records_file.h"
#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "resources/tga_image.h"

// The name entry screen owns the name in the game; the records file only reads it.
char playerName[NAME_MAX_LENGTH + 1];

namespace
{

int messageBoxes; // since the row last reset it
volatile uint8_t touchSum;

void Require(bool holds, const char* rule)
{
    if (!holds)
    {
        std::fprintf(stderr, "fuzz: broken rule: %s\n", rule);
        std::abort();
    }
}

void WriteFile(const char* path, const void* data, size_t size)
{
    FILE* file = std::fopen(path, "wb");
    Require(file != nullptr && (size == 0 || std::fwrite(data, 1, size, file) == size),
            "the scratch directory takes the input");
    std::fclose(file);
}

// Reads every byte of a buffer, so that the address sanitizer checks that all of it is there.
void TouchBytes(const void* bytes, size_t size)
{
    for (size_t i = 0; i < size; ++i)
    {
        touchSum = static_cast<uint8_t>(touchSum + static_cast<const volatile uint8_t*>(bytes)[i]);
    }
}

bool IsTerminated(const char* text, size_t size)
{
    return std::memchr(text, '\0', size) != nullptr;
}

// The pixel bytes a TGA header announces (0 for a header too short to tell). Inputs that announce
// more than IMAGE_BYTES_MAX are kept from the loader: it would only allocate and walk a huge
// zeroed buffer, which under the sanitizers takes most of a minute per input and is the same code
// as for a small one.
size_t CountAnnouncedTgaBytes(const uint8_t* data, size_t size)
{
    auto byte = [&](size_t at) { return size < 17 ? uint8_t{0} : data[at]; };
    auto side = [&](size_t at)
    { return int64_t{static_cast<int16_t>(byte(at) | (byte(at + 1) << 8))}; };
    int64_t bytes = side(12) * side(14) * (byte(16) / 8);
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}
constexpr size_t IMAGE_BYTES_MAX = 2u << 20;

// A TGA file of the given type, size and depth with `pixelBytes` bytes of pixels (at most 64).
void WriteImage(const char* path, uint8_t type, uint8_t width, uint8_t height, uint8_t bits,
                size_t pixelBytes)
{
    const uint8_t bytes[18 + 64] = {0, 0, type, 0,     0, 0,      0, 0,   0,
                                    0, 0, 0,    width, 0, height, 0, bits};
    WriteFile(path, bytes, 18 + pixelBytes);
}

// ---- The few OpenGL calls the texture list makes, answered without a driver: each upload reads
// the pixel bytes exactly as OpenGL would (rows padded to the unpack alignment), so the address
// sanitizer sees a buffer that is too short.

struct GlStandIn
{
    uint32_t texturesMade;
    uint32_t uploads;
    int32_t unpackAlignment;
    uint32_t boundTexture;
};

GlStandIn glStandIn;

} // namespace

void glGenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
    {
        names[i] = ++glStandIn.texturesMade;
    }
}

// Only a change of language deletes textures, which the readers never see.
void glDeleteTextures(GLsizei, const GLuint*) {}

void glBindTexture(GLenum, GLuint texture)
{
    glStandIn.boundTexture = texture;
}

void glGetIntegerv(GLenum name, GLint* value)
{
    *value = name == GL_UNPACK_ALIGNMENT ? glStandIn.unpackAlignment : *value;
}

void glPixelStorei(GLenum name, GLint value)
{
    glStandIn.unpackAlignment = name == GL_UNPACK_ALIGNMENT ? value : glStandIn.unpackAlignment;
}

void glTexImage2D(GLenum, GLint, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels)
{
    Require(width >= 0 && height >= 0 && border == 0 && type == GL_UNSIGNED_BYTE &&
                internalFormat == static_cast<GLint>(format) && glStandIn.boundTexture != 0 &&
                (format == GL_RGB || format == GL_RGBA),
            "OpenGL takes the upload");
    ++glStandIn.uploads;
    if (width > 0 && height > 0)
    {
        int64_t alignment = glStandIn.unpackAlignment;
        int64_t rowBytes = width * (format == GL_RGB ? 3 : 4);
        int64_t stride = (rowBytes + alignment - 1) / alignment * alignment;
        TouchBytes(pixels, static_cast<size_t>(stride * (height - 1) + rowBytes));
    }
}

void glTexParameteri(GLenum, GLenum, GLint) {}

// ---- The system half of the platform, as far as the readers reach it ----

void ShowMessageBox(const char*, const char*, MessageIcon)
{
    ++messageBoxes;
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

// The game state, which the records file takes the score from, resets the camera through it.
void SetCursorPosition(int32_t, int32_t) {}

// The bindings, which the preferences hold, name and compare keys through these.
uint8_t MapVirtualKey(uint8_t key)
{
    return key;
}

void GetKeyNameText(uint8_t, char* name, int32_t)
{
    name[0] = '\0';
}

namespace
{

// ---- The readers' rules ----

// The TGA loader: a record always comes back, its status is one of the loader's, and an image it
// calls good has every byte its header announces.
void FuzzTgaImage(const uint8_t* data, size_t size)
{
    // The size refusal's bounds are arithmetic, held by the unit tests' cases at each bound.
    if (CountAnnouncedTgaBytes(data, size) > IMAGE_BYTES_MAX)
    {
        return;
    }
    WriteFile("duomenys/x.tga", data, size);
    TgaImage* image = LoadTga("duomenys/x.tga");
    Require(image != nullptr, "only a failed allocation of the record itself returns none");
    int32_t status = image->status;
    if (status == TGA_OK)
    {
        Require(image->pixels != nullptr && image->width > 0 && image->height > 0 &&
                    (image->imageType == 2 || image->imageType == 3),
                "a good image has pixels, a size and a type the loader takes");
        TouchBytes(image->pixels, CountTgaPixelBytes(image));
        Require(CountTgaPixelBytes(image) == CountAnnouncedTgaBytes(data, size),
                "the buffer is the size the header announces");
    }
    Require(status == TGA_OK || status == TGA_ERR_READ ||
                ((status == TGA_ERR_UNSUPPORTED || status == TGA_ERR_COLOR_MAPPED ||
                  status == TGA_ERR_NO_MEMORY) &&
                 image->pixels == nullptr),
            "the file exists, so it opens; a refused image keeps no pixels");
    FreeTgaImage(image);
}

// The texture list, with one image of the fuzzer's own beside the shipped kinds: the input is the
// list, then, after a line "#IMG#", the bytes of duomenys/x.tga. Every line that yields a path
// takes the next slot and no more than nine are made; every upload finds all the bytes it reads.
void PrepareTextureList()
{
    WriteImage("duomenys/rgb.tga", 2, 3, 3, 24, 27); // rows of 9 bytes: not a multiple of 4
    WriteImage("duomenys/rgba.tga", 2, 2, 2, 32, 16);
    WriteImage("duomenys/grey.tga", 3, 4, 4, 8, 16);   // a depth the list does not take
    WriteImage("duomenys/short.tga", 2, 5, 3, 24, 10); // ends early
    WriteImage("duomenys/rle.tga", 10, 2, 2, 24, 12);
}

void FuzzTextureList(const uint8_t* data, size_t size)
{
    constexpr std::string_view IMAGE_MARK = "\n#IMG#\n";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t mark = input.find(IMAGE_MARK);
    std::string_view list = input.substr(0, mark);
    WriteFile("duomenys/teksturos.txt", list.data(), list.size());
    size_t imageAt = mark + IMAGE_MARK.size();
    std::remove("duomenys/x.tga");
    if (mark != std::string_view::npos &&
        CountAnnouncedTgaBytes(data + imageAt, size - imageAt) <= IMAGE_BYTES_MAX)
    {
        WriteFile("duomenys/x.tga", data + imageAt, size - imageAt);
    }
    textureCount = 0;
    std::memset(textureIds, 0, sizeof textureIds);
    glStandIn = GlStandIn{0, 0, 4, 0};
    Require(LoadTextures(), "the list file is there, so the list loads");
    Require(textureCount <= TEXTURE_SLOT_COUNT && glStandIn.texturesMade == textureCount &&
                glStandIn.uploads == textureCount && glStandIn.unpackAlignment == 4 &&
                glStandIn.boundTexture == 0,
            "one texture made and uploaded per slot, OpenGL's state left as it was");
    for (uint32_t slot = 0; slot < textureCount; ++slot)
    {
        Require(textureIds[slot] == slot + 1, "slot numbers follow the list's lines");
    }
}

// The sound list, with OpenAL Soft's null device (no sound card is touched) and a few WAV files
// beside it: a good one, junk and a cut header. At most ten slots are filled, in the order of the
// lines, each with a buffer and a source the library knows.
void PrepareNothing() {}

void PrepareSoundList()
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    // A mono 8-bit WAV file of 64 samples at 8000 Hz, whole and cut inside its header.
    static const uint8_t WAV[44 + 64] =
        "RIFF\x64\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1F\0\0\x40\x1F\0\0\1\0\x08\0data\x40";
    WriteFile("duomenys/a.wav", WAV, sizeof WAV);
    WriteFile("duomenys/cut.wav", WAV, 30);
    static const uint8_t JUNK[] = "RIFF\xff\xff\xff\x7fWAVEfmt \x02\0\0\0junk";
    WriteFile("duomenys/junk.wav", JUNK, sizeof JUNK);
    Require(InitSound(), "the null device opens");
}

void FuzzSoundList(const uint8_t* data, size_t size)
{
    WriteFile("duomenys/garsai.txt", data, size);
    soundCount = 0;
    std::memset(soundBuffers, 0, sizeof soundBuffers);
    std::memset(soundSources, 0, sizeof soundSources);
    messageBoxes = 0;
    // The null device makes every buffer and source asked for, and a line the bank takes gives
    // the library nothing to refuse: the bank always loads, without a message.
    Require(LoadSounds() && messageBoxes == 0 && soundCount <= SOUND_SLOT_COUNT,
            "the bank loads at most ten sounds without a message");
    for (uint32_t slot = 0; slot < soundCount; ++slot)
    {
        Require(alIsBuffer(soundBuffers[slot]) && alIsSource(soundSources[slot]),
                "every slot holds a buffer and a source the library knows");
    }
    // Give the library its names back, so that a long run does not pile them up.
    alDeleteSources(static_cast<ALsizei>(soundCount), soundSources);
    alDeleteBuffers(static_cast<ALsizei>(soundCount), soundBuffers);
    alGetError();
}

// The help text: at most twenty entries, each terminated within its 81 bytes.
void FuzzHelpText(const uint8_t* data, size_t size)
{
    WriteFile("duomenys/pagalba.txt", data, size);
    std::memset(helpLines, 'x', sizeof helpLines);
    helpLineCount = 99;
    Require(LoadHelpText() && helpLineCount >= 1 && helpLineCount <= HELP_MAX_LINES,
            "the help loads one to twenty entries");
    for (uint32_t i = 0; i < helpLineCount; ++i)
    {
        Require(IsTerminated(helpLines[i], HELP_LINE_LENGTH),
                "every entry ends within its bytes, or the overlay prints past it");
    }
}

// The maze file: a file it refuses leaves the maze in memory untouched; a file it takes fills
// only the rectangle it declares, which fits the grid, and puts the player and the exit only on
// cells inside it.
bool IsInMaze(double x, double y)
{
    return x >= 0.0 && y >= 0.0 && x < mazeGrid.mazeLength && y < mazeGrid.mazeWidth;
}

void FuzzMazeFile(const uint8_t* data, size_t size)
{
    constexpr uint8_t UNTOUCHED = 0xAB;
    WriteFile(BACKGROUND_MAZE_PATH, data, size);
    // A maze in memory as the last one played could leave it: 40 x 20, the exit at (38, 18), the
    // player at (1, 2).
    static MazeGrid before = {{}, 40.0f, 20.0f, 38, 18, 1.0f, 2.0f, true};
    std::memset(before.cells, UNTOUCHED, sizeof before.cells);
    std::memcpy(&mazeGrid, &before, sizeof before);
    if (!LoadMazeFile(BACKGROUND_MAZE_PATH))
    {
        Require(std::memcmp(&before, &mazeGrid, sizeof before) == 0,
                "a refused file leaves the maze as it was");
        return;
    }
    Require(mazeGrid.mazeLength >= 0.0f && mazeGrid.mazeLength <= MAZE_MAX_SIZE &&
                mazeGrid.mazeWidth >= 0.0f && mazeGrid.mazeWidth <= MAZE_MAX_SIZE &&
                mazeGrid.mazeAccepted == before.mazeAccepted,
            "the declared size fits the grid");
    for (int i = 0; i < MAZE_MAX_SIZE * MAZE_MAX_SIZE; ++i)
    {
        Require(IsInMaze(i % MAZE_MAX_SIZE, i / MAZE_MAX_SIZE) ||
                    (&mazeGrid.cells[0][0])[i] == UNTOUCHED,
                "nothing is written outside the declared maze");
    }
    if (mazeGrid.playerX != before.playerX || mazeGrid.playerY != before.playerY)
    {
        Require(IsInMaze(mazeGrid.playerX, mazeGrid.playerY) &&
                    mazeGrid.cells[static_cast<int>(mazeGrid.playerY)]
                                  [static_cast<int>(mazeGrid.playerX)] == CELL_START,
                "the player is put on a start cell inside the maze");
    }
    if (mazeGrid.exitX != before.exitX || mazeGrid.exitY != before.exitY)
    {
        Require(IsInMaze(mazeGrid.exitX, mazeGrid.exitY) &&
                    mazeGrid.cells[mazeGrid.exitY][mazeGrid.exitX] == CELL_EXIT,
                "the exit is put on an exit cell inside the maze");
    }
}

// The settings: they always read (the file is there), both texts and the mode text stay
// terminated within their fields, the full-screen flag stays a flag, and the desktop's values
// stand in for zeros only.
void FuzzSettings(const uint8_t* data, size_t size)
{
    WriteFile(SETTINGS_PATH, data, size);
    settings = Settings{};
    std::memset(modeText, 'x', sizeof modeText);
    Require(LoadSettings(), "the file is there, so the settings read");
    uint8_t fullscreen = 0;
    std::memcpy(&fullscreen, &settings.fullscreen, 1);
    Require(IsTerminated(settings.windowTitle, sizeof settings.windowTitle) &&
                IsTerminated(settings.submitUrl, sizeof settings.submitUrl) &&
                IsTerminated(modeText, sizeof modeText),
            "the title, the address and the mode text end within their fields");
    Require(fullscreen <= 1 && settings.screenWidth != 0 && settings.screenHeight != 0 &&
                settings.refreshRate != 0 && settings.depthBits == 32,
            "a flag stays a flag, the desktop's values stand in for zeros");
    // The address is read up to 254 characters, leaving room for the query the game appends.
    Require(std::strlen(settings.submitUrl) <= SUBMIT_URL_SIZE - 2, "the address leaves room");
}

// The records file: the reader fills at most ten terminated entries, and a result saved into
// whatever it read is written so that reading the file again gives back exactly the table the
// game holds: nothing of the table is lost by a save.
void RequireWholeTable()
{
    Require(recordCount <= MAX_RECORDS, "at most ten records");
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        Require(IsTerminated(records[i].name, RECORD_NAME_SIZE), "every name ends in its field");
    }
}

void FuzzRecordsFile(const uint8_t* data, size_t size)
{
    WriteFile(RECORDS_PATH, data, size);
    recordCount = 0;
    messageBoxes = 0;
    Require(LoadRecords(), "the file is there, so the records read");
    RequireWholeTable();
    // A score from the bytes, and a name as the name entry screen makes them: letters, digits and
    // spaces, 1 to 15 of them.
    uint32_t hash =
        std::accumulate(data, data + size, 2166136261u,
                        [](uint32_t h, uint8_t byte) { return (h ^ byte) * 16777619u; });
    static const char LETTERS[] = "abcxyzABCXYZ019 ";
    size_t length = 1 + (size > 0 ? data[0] % NAME_MAX_LENGTH : 0);
    for (size_t i = 0; i < length; ++i)
    {
        playerName[i] = LETTERS[(i + 1 < size ? data[i + 1] : i) % (sizeof LETTERS - 1)];
    }
    playerName[length] = '\0';
    gameState.score = static_cast<int32_t>(hash % 2000000u);
    Require(SaveRecord() && messageBoxes == 0, "the result is saved without a message");
    RequireWholeTable();
    RecordEntry saved[MAX_RECORDS];
    uint32_t savedCount = recordCount;
    std::memcpy(saved, records, sizeof saved);
    std::memset(records, 0, sizeof records);
    recordCount = 0;
    Require(LoadRecords() && recordCount == savedCount, "every entry written is read again");
    for (uint32_t i = 0; i < savedCount; ++i)
    {
        Require(records[i].score == saved[i].score &&
                    std::strcmp(records[i].name, saved[i].name) == 0,
                "every entry reads back as it was saved");
    }
}

// A best-times file reads as a whole table of entries within their bounds, which is saved and read
// back as it was, or is moved aside untouched and leaves the table empty.
void FuzzBestTimes(const uint8_t* data, size_t size)
{
    std::filesystem::remove_all("rekordai");
    std::filesystem::create_directories("rekordai");
    WriteFile(BEST_TIMES_PATH, data, size);
    if (!LoadBestTimes())
    {
        std::error_code error;
        Require(bestTimes.count == 0 && !std::filesystem::exists(BEST_TIMES_PATH) &&
                    std::filesystem::file_size(std::string(BEST_TIMES_PATH) + ".sugadintas",
                                               error) == size,
                "a damaged file is moved aside whole and leaves the table empty");
        return;
    }
    Require(bestTimes.count >= 0 && bestTimes.count <= MAX_BEST_MAZES,
            "the table holds its entries");
    static BestTime read[MAX_BEST_MAZES];
    int32_t count = bestTimes.count;
    for (int32_t i = 0; i < count; ++i)
    {
        const BestTime& entry = bestTimes.entries[i];
        Require(entry.sampleCount >= 0 && entry.sampleCount <= MAX_GHOST_SAMPLES,
                "a path fits its entry");
        for (int32_t s = 0; s < entry.sampleCount; ++s)
        {
            Require(entry.samples[s].x >= 0 && entry.samples[s].x <= MAZE_MAX_SIZE * 100 &&
                        entry.samples[s].y >= 0 && entry.samples[s].y <= MAZE_MAX_SIZE * 100,
                    "a ghost stays within the largest maze");
        }
        read[i] = entry;
    }
    Require(SaveBestTimes() && LoadBestTimes() && bestTimes.count == count,
            "a table read is saved and read again");
    for (int32_t i = 0; i < count; ++i)
    {
        const BestTime& entry = bestTimes.entries[i];
        Require(std::memcmp(&entry.maze, &read[i].maze, sizeof entry.maze) == 0 &&
                    entry.seconds == read[i].seconds && entry.sampleCount == read[i].sampleCount &&
                    std::memcmp(entry.samples, read[i].samples,
                                sizeof(GhostSample) * static_cast<size_t>(entry.sampleCount)) == 0,
                "every entry reads back as it was saved");
    }
}

FILE* quiet; // what the preferences reader tells of each line would flood the log

std::string ReadWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void PreparePreferences()
{
    setenv("XDG_CONFIG_HOME", (std::filesystem::current_path() / "config").c_str(), 1);
    quiet = std::fopen("/dev/null", "w");
}

// The lines of `text` that cannot be a key's, without their line ends, in order.
std::vector<std::string_view> ListKeylessLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (size_t at = 0, end = 0; at < text.size(); at = end + 1)
    {
        end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        line.remove_prefix(std::min(line.find_first_not_of(" \t\r"), line.size()));
        constexpr std::string_view KEYS[] = {"language",    "widescreen",   "letters",
                                             "fullscreen",  "music-volume", "effects-volume",
                                             "invert-tilt", "pan-speed",    "zoom-speed",
                                             "key.",        "pad."};
        if (std::none_of(std::begin(KEYS), std::end(KEYS),
                         [&](std::string_view key) { return line.starts_with(key); }))
        {
            lines.push_back(text.substr(at, end - at));
        }
    }
    return lines;
}

// Every choice is one the game takes: its switches 0 or 1, numbers within their bounds, bindings
// of a key, a place or a mouse button (never Enter nor Esc by code), pad inputs an action may have.
bool HoldsChoicesItTakes(const Preferences& chosen)
{
    uint8_t switches[2] = {};
    std::memcpy(&switches[0], &chosen.widescreen, 1);
    std::memcpy(&switches[1], &chosen.tiltInverted, 1);
    bool good = switches[0] <= 1 && switches[1] <= 1 &&
                (chosen.letters == LETTERS_GROWING || chosen.letters == LETTERS_FIXED) &&
                chosen.fullscreen >= FULLSCREEN_AS_SETTINGS && chosen.fullscreen <= FULLSCREEN_ON &&
                chosen.musicVolume <= VOLUME_HIGHEST && chosen.effectsVolume <= VOLUME_HIGHEST &&
                chosen.panSpeed >= SPEED_LOWEST && chosen.panSpeed <= SPEED_HIGHEST &&
                chosen.zoomSpeed >= SPEED_LOWEST && chosen.zoomSpeed <= SPEED_HIGHEST;
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        uint8_t input = chosen.bindings.padInputs[action];
        good = good && (input == PAD_INPUT_NONE || IsBindablePadInput(input));
        for (InputBinding binding : chosen.bindings.keys[action])
        {
            good = good && (binding.kind == INPUT_NONE ||
                            (binding.kind == INPUT_KEY && binding.code != 0 &&
                             binding.code != VK_RETURN && binding.code != VK_ESCAPE) ||
                            (binding.kind == INPUT_SCANCODE && binding.code != 0) ||
                            (binding.kind == INPUT_MOUSE && binding.code < MOUSE_BUTTON_COUNT));
        }
    }
    return good;
}

// The preferences file is read as a table within its bounds, or moved aside whole (or, too long,
// left alone) with the defaults in force; reading writes over nothing else. A table read is
// written back with every line that names no key kept as it stood, and reads back as written.
void FuzzPreferences(const uint8_t* data, size_t size)
{
    const std::string folder = "config/vortanai/";
    const std::string path = folder + "vortanai.conf";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    WriteFile((folder + "kita").c_str(), "kita", 4);
    WriteFile(path.c_str(), data, size);
    std::swap(stderr, quiet);
    preferences = Preferences{.language = "xx", .widescreen = true, .letters = LETTERS_FIXED};
    ReadPreferences();
    Require(IsTerminated(preferences.language, sizeof preferences.language) &&
                HoldsChoicesItTakes(preferences) && ReadWhole(folder + "kita") == "kita" &&
                std::distance(std::filesystem::directory_iterator(folder), {}) == 2,
            "every key holds a value it takes, and no other file is written");
    bool movedAside = !std::filesystem::exists(path);
    if (movedAside || size > PREFERENCES_MAX_BYTES)
    {
        Preferences defaults;
        Require(preferences.language[0] == '\0' && !preferences.widescreen &&
                    preferences.letters == LETTERS_GROWING &&
                    std::memcmp(&preferences.bindings, &defaults.bindings,
                                sizeof defaults.bindings) == 0 &&
                    ReadWhole(movedAside ? path + ".sugadintas" : path) == input,
                "a file not read is moved aside whole, or left as it is, and the defaults hold");
        std::swap(stderr, quiet);
        return;
    }
    Require(ReadWhole(path) == input && std::memchr(data, '\0', size) == nullptr,
            "a file read is text, left as it is");
    uint8_t bits = size > 0 ? data[size - 1] : 0;
    const char* languages[] = {"", "en", "lt", "pt_BR.UTF-8"};
    Preferences written{.widescreen = (bits & 4) != 0,
                        .letters = (bits & 8) != 0 ? LETTERS_FIXED : LETTERS_GROWING,
                        .musicVolume = static_cast<uint8_t>(bits % 101),
                        .zoomSpeed = static_cast<uint16_t>(SPEED_LOWEST + bits)};
    std::strcpy(written.language, languages[bits & 3]);
    written.bindings.keys[bits % ACTION_COUNT][1] = {INPUT_SCANCODE,
                                                     static_cast<uint8_t>(bits | 1)};
    preferences = written;
    BindPadInput(static_cast<GameAction>(bits % ACTION_COUNT), PAD_PADDLE_1);
    written = preferences;
    bool saved = WritePreferences();
    std::string rewritten = ReadWhole(path);
    ReadPreferences();
    Require(saved ? std::strcmp(preferences.language, written.language) == 0 &&
                        preferences.widescreen == written.widescreen &&
                        preferences.letters == written.letters &&
                        preferences.musicVolume == written.musicVolume &&
                        preferences.zoomSpeed == written.zoomSpeed &&
                        std::memcmp(&preferences.bindings, &written.bindings,
                                    sizeof written.bindings) == 0 &&
                        ListKeylessLines(input) == ListKeylessLines(rewritten)
                  : rewritten == input,
            "a table written reads back as written, every keyless line kept as it stood; one "
            "that cannot be written leaves the file as it was");
    std::swap(stderr, quiet);
}

struct FuzzedReader
{
    const char* name; // the target's and its corpus's name
    void (*prepare)();
    void (*fuzz)(const uint8_t* data, size_t size);
};

const FuzzedReader READERS[] = {
    {"tga_image", PrepareNothing, FuzzTgaImage},
    {"texture_list", PrepareTextureList, FuzzTextureList},
    {"sound_list", PrepareSoundList, FuzzSoundList},
    {"help_text", PrepareNothing, FuzzHelpText},
    {"maze_file", PrepareNothing, FuzzMazeFile},
    {"settings", PrepareNothing, FuzzSettings},
    {"records_file", PrepareNothing, FuzzRecordsFile},
    {"best_times", PrepareNothing, FuzzBestTimes},
    {"preferences", PreparePreferences, FuzzPreferences},
};

const FuzzedReader* reader;

} // namespace

// Works in a fresh scratch directory of its own with the game's data folders: the readers take
// fixed paths relative to the working directory.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    reader = std::find_if(std::begin(READERS), std::end(READERS),
                          [](const FuzzedReader& row)
                          { return std::strcmp(row.name, FUZZ_READER) == 0; });
    Require(reader != std::end(READERS), "FUZZ_READER names a row of READERS");
    // tmpfs where there is one: the records writer syncs every file it writes.
    static std::filesystem::path scratch =
        std::filesystem::path(std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp") /
        ("vortanai-fuzz-" + std::string(reader->name) + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(scratch);
    for (const char* folder : {"duomenys", "vortanai", "rekordai"})
    {
        std::filesystem::create_directories(scratch / folder);
    }
    std::filesystem::current_path(scratch);
    // The directory goes when the run ends; a crash leaves it for a look.
    std::atexit([] { std::filesystem::remove_all(scratch); });
    reader->prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    reader->fuzz(data, size);
    return 0;
}
