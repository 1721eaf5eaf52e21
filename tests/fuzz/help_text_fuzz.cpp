// The help text on any file: at most twenty entries, each terminated within its 81 bytes.
#include <cstdlib>
#include <cstring>

#include "resources/help_text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EnterScratchDirectory("help");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("duomenys/pagalba.txt", data, size);
    std::memset(helpLines, 'x', sizeof helpLines);
    helpLineCount = 99;
    if (!LoadHelpText() || helpLineCount < 1 || helpLineCount > HELP_MAX_LINES)
    {
        std::abort();
    }
    for (uint32_t i = 0; i < helpLineCount; ++i)
    {
        if (std::memchr(helpLines[i], '\0', HELP_LINE_LENGTH) == nullptr)
        {
            std::abort(); // the overlay would print past the entry
        }
    }
    return 0;
}
