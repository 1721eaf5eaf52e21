#include "resources/resource_load.h"

#include <AL/al.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"

namespace
{

constexpr const char* TEXTURE_LIST = "duomenys/teksturos.txt";
constexpr const char* SOUND_LIST = "duomenys/garsai.txt";
constexpr const char* HELP_FILE = "duomenys/pagalba.txt";

// A one-pixel 24-bit TGA image.
std::string MakeImage()
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 1;
    bytes[14] = 1;
    bytes[16] = 24;
    bytes += std::string("\x10\x20\x30", 3);
    return bytes;
}

// A short 16-bit mono WAV file.
std::string MakeWave()
{
    const uint32_t samples = 64;
    std::string bytes = "RIFF";
    auto put = [&bytes](uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
        {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    put(36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(22050, 4);
    put(44100, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(samples * 2, 4);
    bytes += std::string(samples * 2, '\x08');
    return bytes;
}

class ResourceLoad : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ResetFakeSystem();
        ASSERT_TRUE(OpenTestWindow(64, 64));
    }

    static void TearDownTestSuite()
    {
        CloseTestWindow();
    }

    void SetUp() override
    {
        ResetFakeSystem();
        textureCount = 0;
        soundCount = 0;
        for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
        {
            soundBuffers[i] = 0;
            soundSources[i] = 0;
        }
        helpLineCount = 0;
        ASSERT_TRUE(InitSound());
        WriteTestFile("duomenys/vaizdas.tga", MakeImage());
        WriteTestFile(TEXTURE_LIST, "duomenys/vaizdas.tga\r\nduomenys/vaizdas.tga");
        WriteTestFile("duomenys/garsas.wav", MakeWave());
        WriteTestFile(SOUND_LIST, "0 0 duomenys/garsas.wav\r\n1 0 duomenys/garsas.wav");
        WriteTestFile(HELP_FILE, "pirma\r\nantra\r\ntrecia");
    }

    void TearDown() override
    {
        ShutdownSound();
        glDeleteTextures(static_cast<GLsizei>(textureCount), textureIds);
        textureCount = 0;
    }

    // The boxes shown so far, as "caption: text"; every one of them has the exclamation icon.
    static std::vector<std::string> Boxes()
    {
        std::vector<std::string> shown;
        for (const RecordedBox& box : fakeSystem.boxes)
        {
            EXPECT_EQ(box.icon, ICON_EXCLAMATION) << box.text;
            shown.push_back(box.caption + ": " + box.text);
        }
        return shown;
    }
};

} // namespace

TEST_F(ResourceLoad, EverythingPresentLoadsTexturesSoundsAndHelpSilently)
{
    EXPECT_TRUE(LoadResources());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(textureCount, 2u);
    EXPECT_EQ(soundCount, 2u);
    EXPECT_EQ(helpLineCount, 3u);
}

TEST_F(ResourceLoad, AMissingTextureListEndsStartUpBeforeTheSounds)
{
    RemoveTestFile(TEXTURE_LIST);
    EXPECT_FALSE(LoadResources());
    EXPECT_EQ(Boxes(), std::vector<std::string>{"KLAIDA: Klaida uzkraunant teksturas"});
    EXPECT_EQ(soundCount, 0u);
    EXPECT_EQ(helpLineCount, 0u);
}

TEST_F(ResourceLoad, AMissingSoundListEndsStartUpBeforeTheHelp)
{
    RemoveTestFile(SOUND_LIST);
    EXPECT_FALSE(LoadResources());
    EXPECT_EQ(Boxes(), std::vector<std::string>{"KLAIDA: Klaida uzkraunant garsus"});
    EXPECT_EQ(textureCount, 2u);
    EXPECT_EQ(helpLineCount, 0u);
}

TEST_F(ResourceLoad, ASoundBankFailureShowsItsOwnMessageFirst)
{
    std::vector<ALuint> hoard;
    for (int i = 0; i < 100000; ++i)
    {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
        {
            break;
        }
        hoard.push_back(source);
    }
    EXPECT_FALSE(LoadResources());
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"ERROR: Klaida alGenSources",
                                                 "KLAIDA: Klaida uzkraunant garsus"}));
    EXPECT_EQ(helpLineCount, 0u);
    alDeleteSources(static_cast<ALsizei>(hoard.size()), hoard.data());
}

TEST_F(ResourceLoad, AMissingHelpFileIsReportedAndStartUpGoesOn)
{
    RemoveTestFile(HELP_FILE);
    helpLineCount = 5; // whatever was there before
    EXPECT_TRUE(LoadResources());
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"KLAIDA: Klaida uzkraunant pagalba duomenys/pagalba.txt"});
    EXPECT_EQ(soundCount, 2u);
    EXPECT_EQ(helpLineCount, 0u);
}
