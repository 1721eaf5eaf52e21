#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>

#include "resources/texture_list.h"
#include "resources/tga_image.h"
#include "tests/support/test_files.h"

TEST(Assets, TheCommittedDataIsWhatTheMakerDraws)
{
    std::filesystem::remove_all("made");
    std::string command = BinaryPath("tools/assets/vortanai-assets") + " made";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::set<std::string> made;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("made"))
    {
        if (entry.is_regular_file())
        {
            std::string relative = std::filesystem::relative(entry.path(), "made").generic_string();
            EXPECT_TRUE(ReadTestFile(entry.path().string()) ==
                        ReadTestFile(SourcePath("data/" + relative)))
                << relative << " differs from the maker's output";
            made.insert(relative);
        }
    }
    // Every committed picture, sound and list of them is the maker's, in every language.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SourcePath("data")))
    {
        std::string name = std::filesystem::relative(entry.path(), SourcePath("data")).string();
        if (name.ends_with(".tga") || name.ends_with(".wav") || name.ends_with("teksturos.txt") ||
            name.ends_with("garsai.txt"))
        {
            EXPECT_TRUE(made.contains(name)) << name << " is not made";
        }
    }
}

TEST(Assets, EveryListedImageLoadsAndWallAtlasesBakeTheLightTopBrightestThenYFacesThenXFaces)
{
    // The wall block draws its top from the top-left quadrant, its faces toward -Y and +Y from
    // the bottom left and toward -X and +X from the bottom right (rows are stored bottom first).
    std::istringstream list(ReadTestFile(SourcePath("data/duomenys/teksturos.txt")));
    std::string name;
    int slot = 0;
    for (; std::getline(list, name); ++slot)
    {
        name.erase(name.find_last_not_of('\r') + 1);
        // Every listed image makes a texture, not the placeholder.
        TgaImage* wall = LoadTga(SourcePath("data/" + name).c_str());
        ASSERT_EQ(wall->status, TGA_OK) << name;
        ASSERT_TRUE(wall->bitsPerPixel == 24 || (wall->bitsPerPixel == 32 && slot < TEX_MAZE_FIRST))
            << name;
        // The brightness of the quadrants: bottom left, bottom right, top left.
        const int side = wall->width;
        double sums[4] = {};
        for (int i = 0; slot >= TEX_MAZE_FIRST && i < side * side; ++i)
        {
            const uint8_t* pixel = wall->pixels + i * 3;
            sums[(i % side >= side / 2) + 2 * (i / side >= side / 2)] +=
                pixel[0] + pixel[1] + pixel[2];
        }
        EXPECT_TRUE(slot < TEX_MAZE_FIRST || (sums[2] > sums[0] * 1.1 && sums[0] > sums[1] * 1.1))
            << name << ": top " << sums[2] << ", -Y and +Y " << sums[0] << ", -X and +X "
            << sums[1];
        FreeTgaImage(wall);
    }
    EXPECT_EQ(slot, TEX_MAZE_LAST + 1);
}
