#include "flow/options_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/options.h"
#include "flow/preferences.h"
#include "flow/window_proc.h"
#include "platform/platform.h"
#include "present/gl_window.h"
#include "present/text_output.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "text/translation.h"

namespace
{

// Each language's own name: its catalog gives it for this text.
// TRANSLATORS: the name of your language, as its speakers write it ("English", "Deutsch").
constexpr const char* LANGUAGE_NAME = MarkText("lietuvių");
constexpr const char* SOURCE_LANGUAGE = "lt";
constexpr int VOLUME_STEP = 10;
constexpr int SPEED_STEP = 25;

// The texts' own language and every language with a catalog, sorted by code, each named in
// itself; the one the texts are in now is chosen.
void FindLanguages()
{
    OptionsScreen& screen = optionsScreen;
    screen.languageCount = 1;
    std::snprintf(screen.languages[0].code, LANGUAGE_CODE_SIZE, "%s", SOURCE_LANGUAGE);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FindCatalogDir(), error))
    {
        std::string code = entry.path().filename().string();
        if (screen.languageCount < LANGUAGES_MAX && code.size() < LANGUAGE_CODE_SIZE &&
            code != SOURCE_LANGUAGE && HasCatalog(FindCatalogDir(), code))
        {
            std::snprintf(screen.languages[screen.languageCount++].code, LANGUAGE_CODE_SIZE, "%s",
                          code.c_str());
        }
    }
    std::sort(screen.languages, screen.languages + screen.languageCount,
              [](const LanguageChoice& a, const LanguageChoice& b)
              { return std::strcmp(a.code, b.code) < 0; });
    char current[LANGUAGE_CODE_SIZE];
    std::snprintf(current, sizeof current, "%s",
                  textLanguage.code[0] != '\0' ? textLanguage.code : SOURCE_LANGUAGE);
    for (int i = 0; i < screen.languageCount; ++i)
    {
        LanguageChoice& language = screen.languages[i];
        ChooseLanguage(language.code, FindCatalogDir());
        std::snprintf(language.name, sizeof language.name, "%s", Translate(LANGUAGE_NAME));
        screen.languageIndex = std::strcmp(language.code, current) == 0 ? i : screen.languageIndex;
    }
    ChooseLanguage(current, FindCatalogDir());
}

void SaveChoices()
{
    if (!WritePreferences())
    {
        std::snprintf(optionsScreen.note, sizeof optionsScreen.note, "%s",
                      Translate("Nuostatų failo įrašyti nepavyko."));
    }
}

// The language's texts at once, and the pictures with words in them.
void UseLanguage(const char* code)
{
    ChooseLanguage(code, FindCatalogDir());
    ReloadTextures();
}

void UseFullscreenChoice()
{
    bool wanted = preferences.fullscreen == FULLSCREEN_AS_SETTINGS
                      ? launchOptions.settingsFullscreen
                      : preferences.fullscreen == FULLSCREEN_ON;
    if (IsGameWindowFullscreen() != wanted)
    {
        SwitchScreenMode();
    }
}

// The letters' height is chosen with the viewport.
void UseLetterSize()
{
    ResizeViewport(glWindow.clientWidth, glWindow.clientHeight);
}

template <typename Number> void StepNumber(Number* value, int step, int lowest, int highest)
{
    *value = static_cast<Number>(std::clamp(*value + step, lowest, highest));
}

// Left (-1) or right (+1) on a choice's line.
void ChangeChoice(int step)
{
    Preferences& chosen = preferences;
    switch (optionsScreen.row)
    {
    case ROW_LANGUAGE:
    {
        int count = optionsScreen.languageCount;
        optionsScreen.languageIndex = (optionsScreen.languageIndex + step + count) % count;
        const char* code = optionsScreen.languages[optionsScreen.languageIndex].code;
        std::snprintf(chosen.language, sizeof chosen.language, "%s", code);
        UseLanguage(code);
        break;
    }
    case ROW_WIDESCREEN:
        chosen.widescreen = !IsWidescreen();
        launchOptions.widescreen = false; // the player's choice now, for this run too
        break;
    case ROW_LETTERS:
        chosen.letters = chosen.letters == LETTERS_FIXED ? LETTERS_GROWING : LETTERS_FIXED;
        UseLetterSize();
        break;
    case ROW_FULLSCREEN:
        chosen.fullscreen =
            static_cast<FullscreenChoice>((chosen.fullscreen + 1 + step + 3) % 3 - 1);
        UseFullscreenChoice();
        break;
    case ROW_MUSIC_VOLUME:
        StepNumber(&chosen.musicVolume, step * VOLUME_STEP, 0, VOLUME_HIGHEST);
        ApplySoundPreferences();
        break;
    case ROW_EFFECTS_VOLUME:
        StepNumber(&chosen.effectsVolume, step * VOLUME_STEP, 0, VOLUME_HIGHEST);
        ApplySoundPreferences();
        break;
    case ROW_TILT:
        chosen.tiltInverted = !chosen.tiltInverted;
        break;
    case ROW_PAN_SPEED:
        StepNumber(&chosen.panSpeed, step * SPEED_STEP, SPEED_LOWEST, SPEED_HIGHEST);
        break;
    case ROW_ZOOM_SPEED:
        StepNumber(&chosen.zoomSpeed, step * SPEED_STEP, SPEED_LOWEST, SPEED_HIGHEST);
        break;
    default:
        return;
    }
    SaveChoices();
}

void ResetEverything()
{
    preferences = Preferences{};
    launchOptions.widescreen = false;
    UseLanguage(launchOptions.localeLanguage[0] != '\0' ? launchOptions.localeLanguage
                                                        : SOURCE_LANGUAGE);
    FindLanguages(); // the language's line names the language now in force
    UseLetterSize();
    UseFullscreenChoice();
    ApplySoundPreferences();
}

GameAction FindSelectedAction()
{
    return static_cast<GameAction>(optionsScreen.row - ROW_FIRST_ACTION);
}

bool IsActionRow()
{
    return optionsScreen.row >= ROW_FIRST_ACTION && optionsScreen.row < ROW_RESET_KEYS;
}

// A binding made: where another action had it, the two swapped, and the screen says so.
void TellBound(int takenFrom, const char* what)
{
    if (takenFrom >= 0)
    {
        std::snprintf(optionsScreen.note, sizeof optionsScreen.note,
                      Translate("%s buvo priskirtas veiksmui „%s“: veiksmai apsikeitė."), what,
                      Translate(ACTIONS[takenFrom].label));
    }
    optionsScreen.capturing = false;
    SaveChoices();
}

void BindKeyInput(InputBinding binding)
{
    char name[64];
    DescribeBinding(binding, name, sizeof name);
    TellBound(BindInput(FindSelectedAction(), optionsScreen.column, binding), name);
}

void Activate()
{
    optionsScreen.note[0] = '\0';
    if (IsActionRow())
    {
        optionsScreen.capturing = true;
    }
    else if (optionsScreen.row == ROW_RESET_KEYS)
    {
        preferences.bindings = DEFAULT_BINDINGS;
        SaveChoices();
    }
    else if (optionsScreen.row == ROW_RESET_ALL)
    {
        ResetEverything();
        SaveChoices();
    }
    else
    {
        ChangeChoice(1);
    }
}

void ClearBinding()
{
    if (!IsActionRow())
    {
        return;
    }
    if (optionsScreen.column == COLUMN_PAD)
    {
        BindPadInput(FindSelectedAction(), PAD_INPUT_NONE);
    }
    else
    {
        BindInput(FindSelectedAction(), optionsScreen.column, {});
    }
    SaveChoices();
}

void MoveRow(int step)
{
    optionsScreen.row = static_cast<uint8_t>((optionsScreen.row + step + ROW_COUNT) % ROW_COUNT);
    if (gameState.soundEnabled)
    {
        StartSound(SND_MENU_MOVE);
    }
}

void MoveSideways(int step)
{
    if (IsActionRow())
    {
        optionsScreen.column = static_cast<uint8_t>(
            std::clamp(optionsScreen.column + step, 0, static_cast<int>(COLUMN_PAD)));
    }
    else
    {
        ChangeChoice(step);
    }
}

// The key waited for: Esc cancels, Enter stays Enter, any other key is bound by its place.
void CaptureKey(uint8_t key)
{
    if (key == VK_ESCAPE)
    {
        optionsScreen.capturing = false;
    }
    else if (key == VK_RETURN)
    {
        std::snprintf(optionsScreen.note, sizeof optionsScreen.note, "%s",
                      Translate("Enter ir Esc visada lieka savo vietose: jų priskirti negalima."));
        optionsScreen.capturing = false;
    }
    else if (optionsScreen.column != COLUMN_PAD && (gameState.keyFlags & KEY_ACTION_FLAG) == 0)
    {
        uint8_t place = ReadScanCode(gameState.keyFlags);
        BindKeyInput(place != 0 ? InputBinding{INPUT_SCANCODE, place}
                                : InputBinding{INPUT_KEY, key});
    }
}

// The cursor's place in the overlay view, in the 4:3 picture's units.
void FindCursorInPicture(float* x, float* y)
{
    ViewportBox box = ComputeViewport(glWindow.clientWidth, glWindow.clientHeight);
    float unitsX = 2.0f * OVERLAY_HALF_WIDTH / static_cast<float>(std::max(box.width, 1));
    float unitsY = 2.0f * OVERLAY_HALF_HEIGHT / static_cast<float>(std::max(box.height, 1));
    *x = (static_cast<float>(gameState.cursorPos.x - box.x) - box.width / 2.0f) * unitsX;
    *y = (box.height / 2.0f - static_cast<float>(gameState.cursorPos.y - box.y)) * unitsY;
}

} // namespace

void OpenOptions()
{
    if (gameState.screenState == STATE_MENU || gameState.screenState == STATE_PLAYING)
    {
        optionsScreen.returnState = gameState.screenState;
        ChangeScreen(STATE_OPTIONS);
    }
}

void EnterOptions()
{
    optionsScreen.row = ROW_LANGUAGE;
    optionsScreen.column = COLUMN_FIRST_KEY;
    optionsScreen.capturing = false;
    optionsScreen.note[0] = '\0';
    optionsScreen.lastCursor = gameState.cursorPos;
    optionsScreen.leftWasDown = gameState.leftButton;
    FindLanguages();
    gameState.menuShown = false;
    if (gameState.menuOffset > 0.0f && gameState.soundEnabled)
    {
        StartSound(SND_MENU_SLIDE);
    }
}

void OnOptionsKey(uint32_t key)
{
    auto code = static_cast<uint8_t>(key);
    if (optionsScreen.capturing)
    {
        CaptureKey(code);
        return;
    }
    // The arrows always work here, whatever they are bound to, so that no binding locks the
    // options away.
    uint8_t action = ReadKeyAction(key);
    uint8_t arrow = code >= VK_LEFT && code <= VK_DOWN ? code : action;
    switch (arrow)
    {
    case VK_RETURN:
        Activate();
        break;
    case VK_ESCAPE:
        ChangeScreen(optionsScreen.returnState);
        break;
    case VK_UP:
    case VK_DOWN:
        MoveRow(arrow == VK_UP ? -1 : 1);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        MoveSideways(arrow == VK_LEFT ? -1 : 1);
        break;
    default:
        if (code == VK_DELETE || code == VK_BACK)
        {
            ClearBinding();
        }
        break;
    }
}

void UpdateOptionsMouse()
{
    bool moved = gameState.cursorPos.x != optionsScreen.lastCursor.x ||
                 gameState.cursorPos.y != optionsScreen.lastCursor.y;
    optionsScreen.lastCursor = gameState.cursorPos;
    if (moved && !optionsScreen.capturing)
    {
        float x = 0.0f;
        float y = 0.0f;
        FindCursorInPicture(&x, &y);
        auto row = static_cast<int>(std::floor(
            (OPTIONS_FIRST_Y + OPTIONS_ROW_STEP - OPTIONS_BOX_BELOW - y) / OPTIONS_ROW_STEP));
        if (row >= 0 && row < ROW_COUNT)
        {
            optionsScreen.row = static_cast<uint8_t>(row);
            optionsScreen.column = x < OPTIONS_COLUMN_X[COLUMN_SECOND_KEY] - 0.1f ? COLUMN_FIRST_KEY
                                   : x < OPTIONS_COLUMN_X[COLUMN_PAD] - 0.1f ? COLUMN_SECOND_KEY
                                                                             : COLUMN_PAD;
        }
    }
    if (gameState.leftButton && !optionsScreen.leftWasDown && !optionsScreen.capturing)
    {
        Activate();
    }
    optionsScreen.leftWasDown = gameState.leftButton;
    // A notch away from the player is right, toward the player left (read as the wheel is read:
    // the high word unsigned).
    if (gameState.wheelNotches != 0 && !optionsScreen.capturing)
    {
        MoveSideways(gameState.wheelNotches <= 9 ? 1 : -1);
    }
    gameState.wheelNotches = 0;
}

bool CapturePadInput(uint8_t padInput)
{
    if (gameState.screenState != STATE_OPTIONS || !optionsScreen.capturing ||
        optionsScreen.column != COLUMN_PAD || !IsBindablePadInput(padInput))
    {
        return false;
    }
    TellBound(BindPadInput(FindSelectedAction(), padInput), DescribePadInput(padInput));
    return true;
}

bool CaptureMouseButton(MouseButton button)
{
    if (gameState.screenState != STATE_OPTIONS || !optionsScreen.capturing ||
        optionsScreen.column == COLUMN_PAD)
    {
        return false;
    }
    BindKeyInput({INPUT_MOUSE, button});
    return true;
}

void ApplySoundPreferences()
{
    SetSoundVolumes(preferences.musicVolume, preferences.effectsVolume);
}
