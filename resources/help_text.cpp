#include "resources/help_text.h"

#include "text/text_file.h"

char helpLines[HELP_MAX_LINES][HELP_LINE_LENGTH];
uint32_t helpLineCount;

bool LoadHelpText()
{
    TextFile help;
    OpenTextFile(&help, "duomenys/pagalba.txt");
    helpLineCount = 0;
    if (!IsTextGood(&help))
    {
        CloseTextFile(&help);
        return false;
    }
    // A read that takes nothing (an empty line, or the line break behind the last line) still
    // counts as an empty entry and ends the text: reads fail for good once one has failed.
    do
    {
        ReadTextLine(&help, helpLines[helpLineCount], HELP_LINE_LENGTH);
        SkipTextChar(&help);
        ++helpLineCount;
    } while (IsTextGood(&help) && helpLineCount < HELP_MAX_LINES);
    CloseTextFile(&help);
    return true;
}
