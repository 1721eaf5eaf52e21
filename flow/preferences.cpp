#include "flow/preferences.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "text/code_page.h"
#include "text/safe_save.h"

Preferences preferences;

namespace
{

constexpr size_t PATH_SIZE = 4096;
constexpr int VALUE_SHOWN = 60; // a bad value is quoted in its message up to this many bytes

constexpr size_t VALUE_SIZE = 64; // the longest value the game writes, with its terminator
constexpr size_t NAME_SIZE = 24;  // the longest key's name, with its terminator

// One key the game knows: `read` puts a value into `into`, false for one it does not take
// (leaving `into` as it was); `write` gives the value as the file keeps it. The keys of the
// bindings are one for each action, which they are given.
struct PreferenceKey
{
    char name[NAME_SIZE];
    bool (*read)(std::string_view value, Preferences* into, int action);
    void (*write)(const Preferences& from, char* value, int action);
    int action;
};

// A language as gettext names it ("lt", "pt_BR", "sr@latin", "en_GB.UTF-8", several joined by
// ':'), or nothing for the locale's.
bool ReadLanguage(std::string_view value, Preferences* into, int)
{
    constexpr std::string_view TAKEN = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                       "0123456789_-.@:";
    if (value.size() >= sizeof into->language ||
        value.find_first_not_of(TAKEN) != std::string_view::npos)
    {
        return false;
    }
    into->language[value.copy(into->language, value.size())] = '\0';
    return true;
}

void WriteLanguage(const Preferences& from, char* value, int)
{
    std::snprintf(value, VALUE_SIZE, "%s", from.language);
}

// One of `names`, the first for 0.
template <typename Choice, size_t COUNT>
bool ReadChoice(std::string_view value, const char* const (&names)[COUNT], int first, Choice* into)
{
    for (size_t i = 0; i < COUNT; ++i)
    {
        if (value == names[i])
        {
            *into = static_cast<Choice>(first + static_cast<int>(i));
            return true;
        }
    }
    return false;
}

// A whole number within its bounds.
template <typename Number>
bool ReadNumber(std::string_view value, int lowest, int highest, Number* into)
{
    int number = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < lowest ||
        number > highest)
    {
        return false;
    }
    *into = static_cast<Number>(number);
    return true;
}

constexpr const char* SWITCH_NAMES[] = {"0", "1"};
constexpr const char* LETTER_SIZES[] = {"growing", "fixed"};          // by LetterSize
constexpr const char* FULLSCREEN_NAMES[] = {"settings", "off", "on"}; // from -1

void WriteNumber(char* value, int number)
{
    std::snprintf(value, VALUE_SIZE, "%d", number);
}

bool ReadKeyBindings(std::string_view value, Preferences* into, int action)
{
    InputBinding bindings[BINDING_SLOTS];
    for (InputBinding& binding : bindings)
    {
        value = value.substr(std::min(value.size(), value.find_first_not_of(' ')));
        size_t length = std::min(value.size(), value.find(' '));
        if (length == 0 || !ParseBinding(value.data(), length, &binding))
        {
            return false;
        }
        value.remove_prefix(length);
    }
    if (!value.empty())
    {
        return false;
    }
    std::copy(std::begin(bindings), std::end(bindings), into->bindings.keys[action]);
    return true;
}

void WriteKeyBindings(const Preferences& from, char* value, int action)
{
    char first[VALUE_SIZE / 2];
    char second[VALUE_SIZE / 2];
    FormatBinding(from.bindings.keys[action][0], first, sizeof first);
    FormatBinding(from.bindings.keys[action][1], second, sizeof second);
    std::snprintf(value, VALUE_SIZE, "%s %s", first, second);
}

bool ReadPadInput(std::string_view value, Preferences* into, int action)
{
    uint8_t input = PAD_INPUT_NONE;
    if (value != "none" &&
        (!ReadChoice(value, PAD_INPUT_NAMES, 0, &input) || !IsBindablePadInput(input)))
    {
        return false;
    }
    into->bindings.padInputs[action] = input;
    return true;
}

void WritePadInput(const Preferences& from, char* value, int action)
{
    uint8_t input = from.bindings.padInputs[action];
    std::snprintf(value, VALUE_SIZE, "%s",
                  input < PAD_INPUT_COUNT ? PAD_INPUT_NAMES[input] : "none");
}

constexpr PreferenceKey MakeKey(const char* name, bool (*read)(std::string_view, Preferences*, int),
                                void (*write)(const Preferences&, char*, int), int action = 0)
{
    PreferenceKey key = {{}, read, write, action};
    std::copy_n(name, std::char_traits<char>::length(name), key.name);
    return key;
}

constexpr PreferenceKey MakeActionKey(const char* prefix, int action,
                                      bool (*read)(std::string_view, Preferences*, int),
                                      void (*write)(const Preferences&, char*, int))
{
    PreferenceKey key = MakeKey(prefix, read, write, action);
    size_t length = std::char_traits<char>::length(prefix);
    std::copy_n(ACTIONS[action].name, std::char_traits<char>::length(ACTIONS[action].name),
                key.name + length);
    return key;
}

constexpr PreferenceKey SETTING_KEYS[] = {
    MakeKey("language", ReadLanguage, WriteLanguage),
    MakeKey(
        "widescreen",
        [](std::string_view value, Preferences* into, int)
        { return ReadChoice(value, SWITCH_NAMES, 0, &into->widescreen); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.widescreen); }),
    MakeKey(
        "letters",
        [](std::string_view value, Preferences* into, int)
        { return ReadChoice(value, LETTER_SIZES, 0, &into->letters); },
        [](const Preferences& from, char* value, int)
        { std::snprintf(value, VALUE_SIZE, "%s", LETTER_SIZES[from.letters]); }),
    MakeKey(
        "fullscreen",
        [](std::string_view value, Preferences* into, int)
        { return ReadChoice(value, FULLSCREEN_NAMES, -1, &into->fullscreen); },
        [](const Preferences& from, char* value, int)
        { std::snprintf(value, VALUE_SIZE, "%s", FULLSCREEN_NAMES[from.fullscreen + 1]); }),
    MakeKey(
        "music-volume",
        [](std::string_view value, Preferences* into, int)
        { return ReadNumber(value, 0, VOLUME_HIGHEST, &into->musicVolume); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.musicVolume); }),
    MakeKey(
        "effects-volume",
        [](std::string_view value, Preferences* into, int)
        { return ReadNumber(value, 0, VOLUME_HIGHEST, &into->effectsVolume); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.effectsVolume); }),
    MakeKey(
        "invert-tilt",
        [](std::string_view value, Preferences* into, int)
        { return ReadChoice(value, SWITCH_NAMES, 0, &into->tiltInverted); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.tiltInverted); }),
    MakeKey(
        "pan-speed",
        [](std::string_view value, Preferences* into, int)
        { return ReadNumber(value, SPEED_LOWEST, SPEED_HIGHEST, &into->panSpeed); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.panSpeed); }),
    MakeKey(
        "zoom-speed",
        [](std::string_view value, Preferences* into, int)
        { return ReadNumber(value, SPEED_LOWEST, SPEED_HIGHEST, &into->zoomSpeed); },
        [](const Preferences& from, char* value, int) { WriteNumber(value, from.zoomSpeed); }),
};

constexpr size_t KEY_COUNT = std::size(SETTING_KEYS) + 2 * ACTION_COUNT;

// In the order a new file lists them: the settings, then each action's keys and pad button.
constexpr std::array<PreferenceKey, KEY_COUNT> MakeKeys()
{
    std::array<PreferenceKey, KEY_COUNT> keys = {};
    size_t count =
        std::copy(std::begin(SETTING_KEYS), std::end(SETTING_KEYS), keys.begin()) - keys.begin();
    for (int action = 0; action < ACTION_COUNT; ++action)
    {
        keys[count++] = MakeActionKey("key.", action, ReadKeyBindings, WriteKeyBindings);
        keys[count++] = MakeActionKey("pad.", action, ReadPadInput, WritePadInput);
    }
    return keys;
}

constexpr std::array<PreferenceKey, KEY_COUNT> KEYS = MakeKeys();

// The file as last loaded, for the reader and for the writer, which keeps what it does not know.
struct PreferencesFile
{
    char path[PATH_SIZE];
    char bytes[PREFERENCES_MAX_BYTES + 1]; // one more, to tell a file that is too long
    size_t size;
};

PreferencesFile file;

enum FileState
{
    FILE_NONE,    // no file (or no longer: it was moved aside): the defaults
    FILE_TEXT,    // its bytes are loaded
    FILE_REFUSED, // there, but neither to be read nor written over
};

enum LineKind
{
    LINE_NOTHING, // blank or a comment
    LINE_KNOWN,
    LINE_NO_EQUALS,
    LINE_UNKNOWN_KEY,
    LINE_BAD_VALUE,
};

std::string_view Trim(std::string_view text)
{
    constexpr std::string_view SPACE = " \t\r\n";
    size_t first = text.find_first_not_of(SPACE);
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(SPACE) + 1 - first);
}

// Takes the next line, with its line end, off the front of `rest`.
std::string_view TakeLine(std::string_view* rest)
{
    std::string_view line = rest->substr(0, rest->find('\n') + 1);
    line = line.empty() ? *rest : line; // the last line, without a line end
    rest->remove_prefix(line.size());
    return line;
}

// What one line says: a known key's value goes into `into`, and `key` names the key, known or not.
LineKind ReadLine(std::string_view line, Preferences* into, std::string_view* key,
                  const PreferenceKey** known)
{
    line = Trim(line);
    size_t equals = line.find('=');
    if (line.empty() || line[0] == '#')
    {
        return LINE_NOTHING;
    }
    if (equals == std::string_view::npos)
    {
        return LINE_NO_EQUALS;
    }
    *key = Trim(line.substr(0, equals));
    for (const PreferenceKey& row : KEYS)
    {
        if (*key == row.name)
        {
            *known = &row;
            *key = Trim(line.substr(equals + 1)); // the value, for the message
            return row.read(*key, into, row.action) ? LINE_KNOWN : LINE_BAD_VALUE;
        }
    }
    return LINE_UNKNOWN_KEY;
}

// Loads the file's bytes, telling on standard error why a file there is not read.
FileState LoadPreferencesFile()
{
    file.size = 0;
    FindPreferencesPath(file.path, sizeof file.path);
    FILE* stream = file.path[0] == '\0' ? nullptr : std::fopen(file.path, "rb");
    if (stream == nullptr)
    {
        if (file.path[0] == '\0' || errno == ENOENT || errno == ENOTDIR)
        {
            return FILE_NONE;
        }
        std::fprintf(stderr, Translate("vortanai: nepavyko perskaityti %s: %s\n"), file.path,
                     std::strerror(errno));
        return FILE_REFUSED;
    }
    file.size = std::fread(file.bytes, 1, sizeof file.bytes, stream);
    int error = std::ferror(stream) ? errno : 0;
    std::fclose(stream);
    char aside[PATH_SIZE + 16];
    if (error != 0)
    {
        std::fprintf(stderr, Translate("vortanai: nepavyko perskaityti %s: %s\n"), file.path,
                     std::strerror(error));
    }
    else if (file.size > PREFERENCES_MAX_BYTES)
    {
        std::fprintf(stderr,
                     Translate("vortanai: %s didesnis nei %zu baitų: neskaitomas ir "
                               "nekeičiamas\n"),
                     file.path, PREFERENCES_MAX_BYTES);
    }
    else if (IsUtf8Text(file.bytes, file.size))
    {
        return FILE_TEXT;
    }
    else if (MoveFileAside(file.path, aside, sizeof aside))
    {
        std::fprintf(stderr,
                     Translate("vortanai: %s nėra UTF-8 tekstas: perkeltas į %s, galioja "
                               "numatytosios nuostatos\n"),
                     file.path, aside);
        file.size = 0;
        return FILE_NONE;
    }
    else
    {
        std::fprintf(stderr,
                     Translate("vortanai: %s nėra UTF-8 tekstas, o jo nepavyko perkelti: galioja "
                               "numatytosios nuostatos\n"),
                     file.path);
    }
    file.size = 0;
    return FILE_REFUSED;
}

// The file loaded, each known key updated where it stands and the missing ones appended.
bool WritePreferencesBody(FILE* stream)
{
    bool written[KEY_COUNT] = {};
    bool good = true;
    std::string_view rest(file.bytes, file.size);
    std::string_view line = "\n";
    while (!rest.empty() && good)
    {
        line = TakeLine(&rest);
        Preferences scratch;
        std::string_view key;
        const PreferenceKey* known = nullptr;
        if (ReadLine(line, &scratch, &key, &known) != LINE_KNOWN)
        {
            good = std::fwrite(line.data(), 1, line.size(), stream) == line.size();
            continue;
        }
        char value[VALUE_SIZE];
        known->write(preferences, value, known->action);
        std::string_view end = line.substr(line.find_last_not_of("\r\n") + 1);
        good = std::fprintf(stream, "%s = %s%.*s", known->name, value, static_cast<int>(end.size()),
                            end.data()) >= 0;
        written[known - KEYS.data()] = true;
    }
    good = good && (line.back() == '\n' || std::fputc('\n', stream) != EOF);
    // A key the file lacks is added only where the player's choice is not the default.
    for (size_t i = 0; i < KEY_COUNT && good; ++i)
    {
        char value[VALUE_SIZE];
        char usual[VALUE_SIZE];
        KEYS[i].write(preferences, value, KEYS[i].action);
        KEYS[i].write(Preferences{}, usual, KEYS[i].action);
        good = written[i] || std::strcmp(value, usual) == 0 ||
               std::fprintf(stream, "%s = %s\n", KEYS[i].name, value) >= 0;
    }
    // Grown past what the reader takes (lines that were "a=b" now read "a = b"): not written.
    if (good && std::ftell(stream) > static_cast<long>(PREFERENCES_MAX_BYTES))
    {
        errno = EFBIG;
        return false;
    }
    return good;
}

} // namespace

void FindPreferencesPath(char* path, size_t size)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    int length = config != nullptr && config[0] == '/'
                     ? std::snprintf(path, size, "%s/vortanai/vortanai.conf", config)
                 : home != nullptr && home[0] != '\0'
                     ? std::snprintf(path, size, "%s/.config/vortanai/vortanai.conf", home)
                     : -1;
    if (length < 0 || static_cast<size_t>(length) >= size)
    {
        path[0] = '\0';
    }
}

void ReadPreferences()
{
    preferences = Preferences{};
    if (LoadPreferencesFile() != FILE_TEXT)
    {
        return;
    }
    std::string_view rest(file.bytes, file.size);
    for (int number = 1; !rest.empty(); ++number)
    {
        std::string_view key;
        const PreferenceKey* known = nullptr;
        LineKind kind = ReadLine(TakeLine(&rest), &preferences, &key, &known);
        int shown = static_cast<int>(std::min<size_t>(key.size(), VALUE_SHOWN));
        if (kind == LINE_NO_EQUALS)
        {
            std::fprintf(stderr, Translate("vortanai: %s:%d: nėra \"=\", eilutė praleista\n"),
                         file.path, number);
        }
        else if (kind == LINE_UNKNOWN_KEY)
        {
            std::fprintf(stderr,
                         Translate("vortanai: %s:%d: nežinomas raktas \"%.*s\", eilutė "
                                   "praleista\n"),
                         file.path, number, shown, key.data());
        }
        else if (kind == LINE_BAD_VALUE)
        {
            std::fprintf(stderr,
                         Translate("vortanai: %s:%d: raktui \"%s\" netinka \"%.*s\", eilutė "
                                   "praleista\n"),
                         file.path, number, known->name, shown, key.data());
        }
    }
}

bool WritePreferences()
{
    FileState state = LoadPreferencesFile();
    if (state == FILE_REFUSED)
    {
        return false;
    }
    if (file.path[0] == '\0')
    {
        std::fputs(Translate("vortanai: nenustatytas nei XDG_CONFIG_HOME, nei HOME: nuostatų "
                             "failui nėra vietos\n"),
                   stderr);
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file.path).parent_path(), error);
    if (error || !SaveFileSafely(file.path, WritePreferencesBody))
    {
        std::fprintf(stderr, Translate("vortanai: nepavyko įrašyti %s: %s\n"), file.path,
                     error ? error.message().c_str() : std::strerror(errno));
        return false;
    }
    return true;
}
