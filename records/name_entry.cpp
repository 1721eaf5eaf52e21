#include "records/name_entry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "flow/game_state.h"
#include "flow/options.h"
#include "platform/platform.h"
#include "present/settings.h"
#include "records/records_file.h"
#include "records/verification_code.h"
#include "resources/sound_bank.h"

namespace
{

void AppendCharacter(char character)
{
    if (nameLength < NAME_MAX_LENGTH && IsNameLetter(character))
    {
        nameBuffer[nameLength++] = character;
    }
}

// The last place the pad's cursor can stand: the new one after the name, while there is room.
uint8_t LastNamePlace()
{
    return std::min<uint8_t>(nameLength, NAME_MAX_LENGTH - 1);
}

// The name as typed, terminated, with the pad's cursor kept on it.
void ShowTypedName()
{
    std::memcpy(playerName, nameBuffer, nameLength);
    playerName[nameLength] = '\0';
    if (nameCursor > nameLength)
    {
        nameCursor = nameLength;
    }
}

void ConfirmName()
{
    SaveRecord();
    SubmitScore();
    gameState.fixedCampaign = false;
    gameState.randomCampaign = false;
    ChangeScreen(STATE_RECORDS);
    if (gameState.soundEnabled)
    {
        StartSound(SND_CONFIRM);
    }
}

void StepNameLetter(int32_t step)
{
    nameCursorShown = true;
    // A full name has no new place after it: the cursor stands on its last letter.
    nameCursor = std::min(nameCursor, LastNamePlace());
    if (nameCursor >= nameLength)
    {
        AppendCharacter('A');
    }
    else
    {
        const char* letter = std::strchr(NAME_LETTERS, nameBuffer[nameCursor]);
        int32_t index = letter != nullptr ? static_cast<int32_t>(letter - NAME_LETTERS) : 0;
        index = (index + step % NAME_LETTER_COUNT + NAME_LETTER_COUNT) % NAME_LETTER_COUNT;
        nameBuffer[nameCursor] = NAME_LETTERS[index];
    }
    ShowTypedName();
}

void MoveNameCursor(int32_t step)
{
    nameCursorShown = true;
    nameCursor = static_cast<uint8_t>(std::clamp(nameCursor + step, 0, int32_t{LastNamePlace()}));
}

} // namespace

void OnNameEntryKey(uint32_t key)
{
    uint8_t code = static_cast<uint8_t>(key);
    if (code >= 0x30 && code <= 0x5A)
    {
        bool upper = gameState.keyDown[VK_SHIFT] || code <= 0x39;
        AppendCharacter(static_cast<char>(upper ? code : code + 0x20));
    }
    else if (code == VK_SPACE)
    {
        AppendCharacter(' ');
    }
    else if (code == VK_BACK)
    {
        if (nameLength > 0)
        {
            --nameLength;
        }
    }
    else if (ReadKeyAction(key) == VK_F1)
    {
        ToggleHelp();
    }
    ShowTypedName();
    if (code == VK_RETURN && nameLength > 0)
    {
        ConfirmName();
    }
}

bool OnNameEntryPad(uint8_t button, bool)
{
    switch (button)
    {
    case PAD_DPAD_UP:
    case PAD_DPAD_DOWN:
        StepNameLetter(button == PAD_DPAD_UP ? 1 : -1);
        return true;
    case PAD_DPAD_LEFT:
    case PAD_DPAD_RIGHT:
        MoveNameCursor(button == PAD_DPAD_RIGHT ? 1 : -1);
        return true;
    case PAD_B:
        PostKeyTap(VK_BACK);
        return true;
    default:
        return false;
    }
}

void OnRecordsKey(uint32_t key)
{
    switch (ReadKeyAction(key))
    {
    case VK_RETURN:
    case VK_ESCAPE:
        ChangeScreen(STATE_MENU);
        if (gameState.soundEnabled)
        {
            StartSound(SND_CONFIRM);
        }
        break;
    default:
        HandleHelpAndSoundKey(ReadKeyAction(key));
        break;
    }
}

bool FormatSubmitAddress(char* address, int size)
{
    char code[VERIFICATION_CODE_LENGTH + 1];
    CampaignMode mode = gameState.randomCampaign ? MODE_RANDOM : MODE_FIXED;
    MakeVerificationCode(gameState.score, mode,
                         static_cast<uint32_t>(gameState.counterLast % 10000), code);
    int length = std::snprintf(address, static_cast<size_t>(size), "%s?v=%s&r=%s",
                               settings.submitUrl, playerName, code);
    return length >= 0 && length < size;
}

bool SubmitScore()
{
    char address[SUBMIT_ADDRESS_SIZE];
    if (FormatSubmitAddress(address, sizeof address))
    {
        OpenAddress(address);
    }
    return true;
}
