#include "present/flat_screens.h"

#include <GL/gl.h>
#include <cstring>

#include "flow/game_state.h"
#include "maze/maze_render.h"
#include "present/hud.h"
#include "present/text_output.h"
#include "records/player_name.h"
#include "records/records_file.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "text/code_page.h"
#include "text/translation.h"

namespace
{

constexpr float TWO_PI = 6.2831853f;
constexpr float SPLASH_PICTURE_SHOWN = 6.911503979802812f; // 2.2 pi
constexpr float SPLASH_LENGTH = 12.5663706f;               // 4 pi
// Names of code page 1257 letters in UTF-8: each letter takes three bytes at most.
constexpr size_t NAME_UTF8_SIZE = 3 * NAME_MAX_LENGTH + 1;
constexpr size_t RECORD_NAME_UTF8_SIZE = 3 * sizeof(RecordEntry::name);

struct CreditsLine
{
    float y;
    const char* text;
};

// Looked up in the catalog as they are drawn.
constexpr CreditsLine CREDITS_LINES[] = {
    {1.5f, MarkText("Vortanai 2 KOMETA")},
    {1.2f, MarkText("Autoriai: Vortanų kūrėjų komanda")},
    {0.9f, MarkText("Testuotojai: žaidėjai ir automatiniai testai")},
    {0.6f, MarkText("Naudoti libai: OpenGL (vaizdas), OpenAL (garsas), TGA užkrovimo libas")},
    {-0.2f, MarkText("Vortanai Linux leidimas, 2026 m.")},
};

// The name (code page 1257, `length` bytes of it) in UTF-8.
void ConvertName(const char* name, size_t length, char* utf8, size_t size)
{
    char bytes[NAME_MAX_LENGTH + 1];
    length = length < NAME_MAX_LENGTH ? length : NAME_MAX_LENGTH;
    std::memcpy(bytes, name, length);
    bytes[length] = '\0';
    ConvertToUtf8(bytes, utf8, size);
}

// A grey frame around an olive panel, each given by its lower-left and upper-right corners.
void DrawFramedPanel(float x0, float y0, float x1, float y1, float inset)
{
    glColor4f(0.7f, 0.7f, 0.7f, 1.0f);
    DrawBox(x0, y0, x1, y1);
    glColor4f(0.1f, 0.1f, 0.0f, 1.0f);
    DrawBox(x0 + inset, y0 + inset, x1 - inset, y1 - inset);
}

void BeginFlatScreen()
{
    glClear(GL_COLOR_BUFFER_BIT);
    SetOverlayView();
    glDisable(GL_DEPTH_TEST);
}

// A picture of the bound texture as a box; its lowest s and t go to the lower-left corner.
void DrawPicture(float x0, float y0, float x1, float y1, float t0, float t1)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, t0);
    glVertex2f(x0, y0);
    glTexCoord2f(1.0f, t0);
    glVertex2f(x1, y0);
    glTexCoord2f(1.0f, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, t1);
    glVertex2f(x0, y1);
    glEnd();
}

void EndSplash()
{
    ChangeScreen(STATE_MENU);
    gameState.phaseClock = 0.0f;
    // These go whether or not sound effects are enabled: they are enabled only now.
    StopSound(SND_SPLASH);
    StartSound(SND_MUSIC);
    StartSound(SND_LEVEL_START);
    EnableSound();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

// A pad's cursor on the name: the letter under it drawn again in a bright colour, after the text
// before it has been gone over with colour writes off to bring the raster position there.
void MarkNameCursor()
{
    glColor4f(1.0f, 0.8f, 0.2f, 1.0f);
    glRasterPos2f(-1.0f, 0.1f);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    char before[NAME_UTF8_SIZE];
    ConvertName(playerName, nameCursor, before, sizeof before);
    PrintText(Translate("Vardas: %s"), before);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    bool letter = nameCursor < nameLength && playerName[nameCursor] != ' ';
    char under[NAME_UTF8_SIZE];
    ConvertName(letter ? &playerName[nameCursor] : "_", 1, under, sizeof under);
    PrintText("%s", under);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
}

} // namespace

int32_t DrawSplash()
{
    // The colour buffer is never cleared here: each frame darkens the last, so the flying logo
    // leaves a fading trail and the loading line fades out.
    glDisable(GL_DEPTH_TEST);
    SetOverlayView();
    float alpha = 0.1f;
    if (gameState.screenClock >= TWO_PI)
    {
        alpha = static_cast<float>((gameState.screenClock - 6.2831853) * 0.9 + 0.1);
    }
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    DrawTexturedSquare(20.0f);

    glColor4f(1.0f, 0.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 1.0f, 0.0f);
    if (gameState.screenClock < TWO_PI)
    {
        float distance = static_cast<float>(6.2831853 - gameState.screenClock);
        glTranslatef(distance, distance, 0.0f);
        glRotatef(static_cast<float>((gameState.screenClock - 6.2831853) * 100.0), 0.0f, 0.0f,
                  1.0f);
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureIds[TEX_SPLASH]);
    DrawPicture(-2.56f, -0.9f, 2.56f, 0.9f, 0.78125f, 1.0f);
    if (gameState.screenClock > SPLASH_PICTURE_SHOWN)
    {
        DrawPicture(-1.8f, -3.5f, 1.8f, -0.5f, 0.0f, 0.78125f);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);

    if (gameState.screenClock > SPLASH_LENGTH || gameState.screenSkip == 1)
    {
        EndSplash();
    }
    gameState.screenClock += gameState.frameSeconds;
    glEnable(GL_DEPTH_TEST);
    return 1;
}

int32_t DrawCustomMaze()
{
    BeginFlatScreen();
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    DrawBox(-1.5f, -1.4f, 1.5f, 1.0f);
    glColor4f(0.1f, 0.1f, 0.0f, 1.0f);
    DrawBox(-1.4f, -1.35f, 1.4f, 0.95f);

    const char* labels[4] = {
        MarkText("Vortano ilgis (nuo 8 iki 128): %3i"),
        MarkText("Vortano plotis (nuo 8 iki 128): %3i"),
        MarkText("Vortano sunkumas (nuo 1 iki 10): %3i"),
        MarkText("Vortano seed (0 - random): %6i"),
    };
    const int32_t values[4] = {gameState.customLength, gameState.customWidth,
                               gameState.customDifficulty, gameState.customSeed};
    for (int line = 0; line < 4; ++line)
    {
        SetOverlayView();
        if (gameState.customField == line)
        {
            glColor4f(1.0f, 1.0f, 0.5f, 0.5f);
        }
        else
        {
            glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
        }
        glRasterPos2f(-1.3f, 0.4f - 0.4f * static_cast<float>(line));
        PrintText(Translate(labels[line]), values[line]);
    }
    if (gameState.customSeedRejected)
    {
        SetOverlayView();
        glColor4f(1.0f, 0.6f, 0.4f, 0.8f);
        glRasterPos2f(-1.3f, -1.6f);
        PrintText("%s", Translate("Šio seed vortanas neturi kelio į išėjimą"));
    }
    DrawOverlay();
    glEnable(GL_DEPTH_TEST);
    return 1;
}

int32_t DrawNameEntry()
{
    BeginFlatScreen();
    DrawFramedPanel(-1.25f, -0.35f, 1.25f, 0.35f, 0.05f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glRasterPos2f(-1.0f, 0.1f);
    char name[NAME_UTF8_SIZE];
    ConvertName(playerName, nameLength, name, sizeof name);
    // TRANSLATORS: the name being typed; a cursor (_) is drawn right after it.
    PrintText(Translate("Vardas: %s"), name);
    PrintText("_");
    if (nameCursorShown)
    {
        MarkNameCursor();
    }
    glRasterPos2f(-1.0f, -0.1f);
    PrintText(Translate("Rezultatas: %d"), gameState.score);
    DrawOverlay();
    glEnable(GL_DEPTH_TEST);
    return 1;
}

int32_t DrawRecords()
{
    BeginFlatScreen();
    DrawFramedPanel(-1.25f, -2.05f, 1.25f, 2.05f, 0.05f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
    glRasterPos2f(-1.0f, 1.5f);
    PrintText("%s", Translate("Kampanijos rekordai:"));
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        char name[RECORD_NAME_UTF8_SIZE];
        ConvertToUtf8(records[i].name, name, sizeof name);
        SetOverlayView();
        glRasterPos2f(-1.0f, 1.0f - 0.25f * static_cast<float>(i));
        // TRANSLATORS: a record's place, the player's name and the score.
        PrintText(Translate("%d. %s - %d"), static_cast<int>(i + 1), name,
                  static_cast<int>(records[i].score));
    }
    DrawOverlay();
    glEnable(GL_DEPTH_TEST);
    return 1;
}

int32_t DrawCredits()
{
    BeginFlatScreen();
    DrawFramedPanel(-2.5f, -0.55f, 2.5f, 2.05f, 0.05f);
    glColor4f(0.7f, 0.7f, 0.65f, 1.0f);
    for (const CreditsLine& line : CREDITS_LINES)
    {
        SetOverlayView();
        glRasterPos2f(-2.4f, line.y);
        PrintText("%s", Translate(line.text));
    }
    // Blinks: hidden for the first half of every second, shown for the second.
    if (static_cast<int32_t>(gameState.screenClock * 2.0f) % 2 == 1)
    {
        SetOverlayView();
        glRasterPos2f(-0.5f, -3.0f);
        PrintText("%s", Translate("Baigti - spausk ENTER"));
    }
    gameState.screenClock += gameState.frameSeconds;
    glEnable(GL_DEPTH_TEST);
    return 1;
}
