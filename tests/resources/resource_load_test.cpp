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
    struct Case
    {
        const char* missing; // from the game's own data ("": none); null: the device has no sources
        bool goesOn;
        std::vector<std::string> boxes; // as "caption: text"
        int loaded; // all textures, all sounds, the help: how many of these, in that order
    };
    const Case cases[] = {
        {"", true, {}, 3},
        {"duomenys/teksturos.txt", false, {"KLAIDA: Klaida uzkraunant teksturas"}, 0},
        {"duomenys/garsai.txt", false, {"KLAIDA: Klaida uzkraunant garsus"}, 1},
        {nullptr, false, {"ERROR: Klaida alGenSources", "KLAIDA: Klaida uzkraunant garsus"}, 1},
        {"duomenys/pagalba.txt",
         true,
         {"KLAIDA: Klaida uzkraunant pagalba duomenys/pagalba.txt"},
         2},
    };
    ASSERT_TRUE(OpenTestWindow(64, 64));
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.missing != nullptr ? test.missing : "no sources");
        ResetFakeSystem();
        textureCount = soundCount = helpLineCount = 0;
        EXPECT_TRUE(InitSound());
        std::filesystem::copy(SourcePath("data/duomenys"), "duomenys",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        RemoveTestFile(test.missing != nullptr ? test.missing : "");
        // Closing the device frees the sources hoarded here.
        for (ALuint source = 0; test.missing == nullptr && alGetError() == AL_NO_ERROR;)
        {
            alGenSources(1, &source);
        }
        EXPECT_EQ(LoadResources(), test.goesOn);
        std::vector<std::string> boxes;
        for (const RecordedBox& box : fakeSystem.boxes)
        {
            EXPECT_EQ(box.icon, ICON_EXCLAMATION) << box.text;
            boxes.push_back(box.caption + ": " + box.text);
        }
        EXPECT_EQ(boxes, test.boxes);
        EXPECT_EQ(textureCount == TEXTURE_SLOT_COUNT, test.loaded >= 1);
        EXPECT_EQ(soundCount == SND_LEVEL_DONE + 1u, test.loaded >= 2);
        EXPECT_EQ(helpLineCount > 0, test.loaded >= 3);
        for (uint32_t slot = 0; slot < textureCount; ++slot)
        {
            GLint width = 0; // the game's images are all wider than the placeholder
            glBindTexture(GL_TEXTURE_2D, textureIds[slot]);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            EXPECT_GT(width, PLACEHOLDER_SIDE) << slot;
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        ShutdownSound();
    }
    CloseTestWindow();
}
