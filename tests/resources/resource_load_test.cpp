#include "resources/resource_load.h"

#include <AL/al.h>
#include <GL/gl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

TEST(ResourceLoad, AFailureShowsItsMessagesInOrderAndOnlyMissingHelpLetsStartUpGoOn)
{
    // The file missing from the game's own data ("": none; null: the device has no sources), the
    // boxes shown as "caption: text", and how many of all textures, all sounds and the help are
    // loaded, in that order: start-up goes on once the textures and sounds are in.
    struct Case
    {
        const char* missing;
        std::vector<std::string> boxes;
        int loaded;
    };
    const Case cases[] = {
        {"", {}, 3},
        {"duomenys/teksturos.txt", {"KLAIDA: Klaida uzkraunant teksturas"}, 0},
        {"duomenys/garsai.txt", {"KLAIDA: Klaida uzkraunant garsus"}, 1},
        {nullptr, {"ERROR: Klaida alGenSources", "KLAIDA: Klaida uzkraunant garsus"}, 1},
        {"duomenys/pagalba.txt", {"KLAIDA: Klaida uzkraunant pagalba duomenys/pagalba.txt"}, 2},
    };
    ASSERT_TRUE(OpenTestWindow(64, 64));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.missing != nullptr ? c.missing : "no sources");
        ResetFakeSystem();
        textureCount = soundCount = helpLineCount = 0;
        EXPECT_TRUE(InitSound());
        std::filesystem::copy(SourcePath("data/duomenys"), "duomenys",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        RemoveTestFile(c.missing != nullptr ? c.missing : "");
        // Closing the device frees the sources hoarded here.
        for (ALuint source = 0; c.missing == nullptr && alGetError() == AL_NO_ERROR;)
        {
            alGenSources(1, &source);
        }
        EXPECT_EQ(LoadResources(), c.loaded >= 2);
        std::vector<std::string> boxes;
        for (const RecordedBox& box : fakeSystem.boxes)
        {
            EXPECT_EQ(box.icon, ICON_EXCLAMATION) << box.text;
            boxes.push_back(box.caption + ": " + box.text);
        }
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(textureCount == TEXTURE_SLOT_COUNT, c.loaded >= 1);
        EXPECT_EQ(soundCount == SND_LEVEL_DONE + 1u, c.loaded >= 2);
        EXPECT_EQ(helpLineCount > 0, c.loaded >= 3);
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        ShutdownSound();
    }
    CloseTestWindow();
}
