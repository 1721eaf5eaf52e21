#include "present/options_panel.h"

#include <GL/gl.h>
#include <cstdio>

#include "flow/game_state.h"
#include "flow/launch_options.h"
#include "flow/options.h"
#include "flow/preferences.h"
#include "present/scene.h"
#include "present/text_output.h"
#include "text/translation.h"

namespace
{

constexpr int VALUE_SIZE = 96;

// The choices' labels, by OptionRow, and the resets'; an action's line shows the action's.
constexpr const char* CHOICE_LABELS[ROW_FIRST_ACTION] = {
    MarkText("Kalba"),
    MarkText("Platus ekranas"),
    MarkText("Raidės"),
    MarkText("Visas ekranas"),
    MarkText("Muzikos garsumas"),
    MarkText("Efektų garsumas"),
    MarkText("Pelės posvyris"),
    MarkText("Kameros slinkimo greitis"),
    MarkText("Kameros artinimo greitis"),
};

const char* FindRowLabel(int row)
{
    if (row < ROW_FIRST_ACTION)
    {
        return CHOICE_LABELS[row];
    }
    if (row < ROW_RESET_KEYS)
    {
        return ACTIONS[row - ROW_FIRST_ACTION].label;
    }
    return row == ROW_RESET_KEYS ? MarkText("Atkurti numatytuosius klavišus")
                                 : MarkText("Atkurti visas numatytąsias nuostatas");
}

const char* DescribeSwitch(bool on)
{
    return on ? Translate("įjungta") : Translate("išjungta");
}

// What a choice's line shows as its value; nothing for the resets.
void DescribeChoice(int row, char* text, size_t size)
{
    const Preferences& chosen = preferences;
    switch (row)
    {
    case ROW_LANGUAGE:
        std::snprintf(text, size, "%s", optionsScreen.languages[optionsScreen.languageIndex].name);
        break;
    case ROW_WIDESCREEN:
        std::snprintf(text, size, "%s", DescribeSwitch(IsWidescreen()));
        break;
    case ROW_LETTERS:
        std::snprintf(text, size, "%s",
                      chosen.letters == LETTERS_FIXED ? Translate("pastovaus dydžio")
                                                      : Translate("didėja su ekranu"));
        break;
    case ROW_FULLSCREEN:
        std::snprintf(text, size, "%s",
                      chosen.fullscreen == FULLSCREEN_AS_SETTINGS
                          ? Translate("kaip nustatymų faile")
                          : DescribeSwitch(chosen.fullscreen == FULLSCREEN_ON));
        break;
    case ROW_MUSIC_VOLUME:
    case ROW_EFFECTS_VOLUME:
        std::snprintf(text, size, "%d %%",
                      row == ROW_MUSIC_VOLUME ? chosen.musicVolume : chosen.effectsVolume);
        break;
    case ROW_TILT:
        std::snprintf(text, size, "%s",
                      chosen.tiltInverted ? Translate("apverstas") : Translate("įprastas"));
        break;
    case ROW_PAN_SPEED:
    case ROW_ZOOM_SPEED:
        std::snprintf(text, size, "%d %%",
                      row == ROW_PAN_SPEED ? chosen.panSpeed : chosen.zoomSpeed);
        break;
    default:
        text[0] = '\0';
        break;
    }
}

// Every text leaves depth testing on, and a box over a box at the same depth would not show.
void DrawCell(float x, float y, const char* text, bool chosen)
{
    glDisable(GL_DEPTH_TEST);
    if (chosen)
    {
        glColor4f(0.45f, 0.45f, 0.1f, 1.0f);
        DrawBox(x - 0.08f, y - OPTIONS_BOX_BELOW, x + 2.1f,
                y - OPTIONS_BOX_BELOW + OPTIONS_ROW_STEP);
    }
    glColor4f(1.0f, 0.85f, 0.4f, 1.0f);
    glRasterPos2f(x, y);
    PrintText("%s", text);
}

void DrawRow(int row)
{
    float y = OPTIONS_FIRST_Y - OPTIONS_ROW_STEP * static_cast<float>(row);
    bool selected = optionsScreen.row == row;
    glDisable(GL_DEPTH_TEST);
    if (selected)
    {
        glColor4f(0.3f, 0.3f, 0.05f, 1.0f);
        DrawBox(-5.2f, y - OPTIONS_BOX_BELOW, 5.2f, y - OPTIONS_BOX_BELOW + OPTIONS_ROW_STEP);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    glRasterPos2f(OPTIONS_LABEL_X, y);
    PrintText("%s", Translate(FindRowLabel(row)));
    char value[VALUE_SIZE];
    if (row < ROW_FIRST_ACTION || row >= ROW_RESET_KEYS)
    {
        DescribeChoice(row, value, sizeof value);
        DrawCell(OPTIONS_COLUMN_X[COLUMN_FIRST_KEY], y, value, false);
        return;
    }
    int action = row - ROW_FIRST_ACTION;
    for (int column = COLUMN_FIRST_KEY; column < COLUMN_COUNT; ++column)
    {
        bool chosen = selected && optionsScreen.column == column;
        if (chosen && optionsScreen.capturing)
        {
            std::snprintf(value, sizeof value, "%s", Translate("spauskite..."));
        }
        else if (column == COLUMN_PAD)
        {
            std::snprintf(value, sizeof value, "%s",
                          DescribePadInput(preferences.bindings.padInputs[action]));
        }
        else
        {
            DescribeBinding(preferences.bindings.keys[action][column], value, sizeof value);
        }
        DrawCell(OPTIONS_COLUMN_X[column], y, value, chosen);
    }
}

// The last change's word, or what the keys do here.
const char* FindNote()
{
    if (optionsScreen.note[0] != '\0')
    {
        return optionsScreen.note;
    }
    if (optionsScreen.capturing)
    {
        return optionsScreen.column == COLUMN_PAD
                   ? Translate("Paspauskite pulto mygtuką; Esc – atšaukti.")
                   : Translate("Paspauskite klavišą ar pelės mygtuką; Esc – atšaukti.");
    }
    return Translate("Enter – keisti, Delete – išvalyti, Esc – atgal.");
}

} // namespace

int32_t DrawOptions()
{
    // The scene goes on behind the options as behind the menu, its clock included.
    DrawScene();
    SetOverlayView();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.7f, 0.7f, 0.7f, 1.0f);
    DrawBox(-5.35f, -4.05f, 5.35f, 4.05f);
    glColor4f(0.1f, 0.1f, 0.0f, 0.95f);
    DrawBox(-5.3f, -4.0f, 5.3f, 4.0f);
    float titleY = OPTIONS_FIRST_Y + 0.4f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glRasterPos2f(OPTIONS_LABEL_X, titleY);
    PrintText("%s", Translate("NUOSTATOS"));
    constexpr const char* HEADINGS[COLUMN_COUNT] = {MarkText("Klavišas"),
                                                    MarkText("Kitas klavišas"), MarkText("Pultas")};
    glColor4f(0.7f, 0.7f, 0.7f, 1.0f);
    for (int column = COLUMN_FIRST_KEY; column < COLUMN_COUNT; ++column)
    {
        glRasterPos2f(OPTIONS_COLUMN_X[column], titleY);
        PrintText("%s", Translate(HEADINGS[column]));
    }
    for (int row = 0; row < ROW_COUNT; ++row)
    {
        DrawRow(row);
    }
    glColor4f(1.0f, 0.6f, 0.3f, 1.0f);
    glRasterPos2f(OPTIONS_LABEL_X,
                  OPTIONS_FIRST_Y - OPTIONS_ROW_STEP * (static_cast<float>(ROW_COUNT) + 0.5f));
    PrintText("%s", FindNote());
    glEnable(GL_DEPTH_TEST);
    return 1;
}
