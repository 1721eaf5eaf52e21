#include "text/text_file.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace
{

// Longest number text kept for conversion; longer digit runs are read but always overflow.
constexpr size_t NUMBER_TEXT_SIZE = 64;

// The next character in text mode: CR LF becomes LF, a lone CR stays.
int ReadTranslatedChar(FILE* file)
{
    int c = std::getc(file);
    if (c == '\r')
    {
        int next = std::getc(file);
        if (next == '\n')
        {
            return '\n';
        }
        if (next != EOF)
        {
            std::ungetc(next, file);
        }
    }
    return c;
}

int PeekTextChar(TextFile* text)
{
    if (!text->hasLookahead)
    {
        text->lookahead = ReadTranslatedChar(text->file);
        text->hasLookahead = true;
    }
    return text->lookahead;
}

int TakeTextChar(TextFile* text)
{
    int c = PeekTextChar(text);
    if (c == EOF)
    {
        text->atEnd = true;
        return EOF;
    }
    text->hasLookahead = false;
    return c;
}

// Every read starts here: a file that has failed or ended fails the read.
bool BeginRead(TextFile* text)
{
    if (!IsTextGood(text))
    {
        text->failed = true;
        return false;
    }
    return true;
}

bool FailRead(TextFile* text)
{
    text->failed = true;
    return false;
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Adds one character to a number's text, or marks the text as too long to convert when it is
// full: every character of a number goes through here, so none is written past the end.
void AppendNumberChar(char* number, size_t* length, int c)
{
    if (*length + 1 < NUMBER_TEXT_SIZE)
    {
        number[(*length)++] = static_cast<char>(c);
    }
    else
    {
        number[NUMBER_TEXT_SIZE - 1] = 'x';
    }
}

// Takes the digits of a number into `digits` (as many as fit); returns how many were seen.
size_t TakeDigits(TextFile* text, char* digits, size_t* length)
{
    size_t seen = 0;
    while (IsDigit(PeekTextChar(text)))
    {
        AppendNumberChar(digits, length, TakeTextChar(text));
        ++seen;
    }
    return seen;
}

// Skips white space and reads [sign] digits into `number`; false when no digit stands there.
bool TakeIntegerText(TextFile* text, char* number, size_t* length)
{
    while (std::isspace(PeekTextChar(text)))
    {
        TakeTextChar(text);
    }
    int c = PeekTextChar(text);
    if (c == EOF)
    {
        text->atEnd = true;
        return false;
    }
    if (c == '+' || c == '-')
    {
        number[(*length)++] = static_cast<char>(TakeTextChar(text));
    }
    if (TakeDigits(text, number, length) == 0)
    {
        return false;
    }
    if (PeekTextChar(text) == EOF)
    {
        text->atEnd = true;
    }
    return number[NUMBER_TEXT_SIZE - 1] != 'x';
}

bool ReadTextInteger(TextFile* text, int64_t* value)
{
    if (!BeginRead(text))
    {
        return false;
    }
    char number[NUMBER_TEXT_SIZE] = {};
    size_t length = 0;
    if (!TakeIntegerText(text, number, &length))
    {
        return FailRead(text);
    }
    const char* first = number[0] == '+' ? number + 1 : number;
    auto [end, error] = std::from_chars(first, number + length, *value);
    (void)end;
    if (error != std::errc())
    {
        return FailRead(text);
    }
    return true;
}

} // namespace

bool OpenTextFile(TextFile* text, const char* path)
{
    text->file = std::fopen(path, "rb");
    text->failed = text->file == nullptr;
    text->atEnd = false;
    text->lookahead = EOF;
    text->hasLookahead = false;
    return text->file != nullptr;
}

void CloseTextFile(TextFile* text)
{
    if (text->file != nullptr)
    {
        std::fclose(text->file);
    }
    text->file = nullptr;
}

bool IsTextGood(const TextFile* text)
{
    return text->file != nullptr && !text->failed && !text->atEnd;
}

void SkipTextChar(TextFile* text)
{
    if (IsTextGood(text))
    {
        TakeTextChar(text);
    }
}

bool ReadTextInt(TextFile* text, int32_t* value)
{
    int64_t wide = 0;
    if (!ReadTextInteger(text, &wide))
    {
        return false;
    }
    if (wide < std::numeric_limits<int32_t>::min() || wide > std::numeric_limits<int32_t>::max())
    {
        return FailRead(text);
    }
    *value = static_cast<int32_t>(wide);
    return true;
}

bool ReadTextUnsigned(TextFile* text, uint32_t* value)
{
    int64_t wide = 0;
    if (!ReadTextInteger(text, &wide))
    {
        return false;
    }
    constexpr int64_t LIMIT = std::numeric_limits<uint32_t>::max();
    if (wide < -LIMIT || wide > LIMIT)
    {
        return FailRead(text);
    }
    *value = static_cast<uint32_t>(wide);
    return true;
}

bool ReadTextBool(TextFile* text, bool* value)
{
    int64_t wide = 0;
    if (!ReadTextInteger(text, &wide))
    {
        return false;
    }
    if (wide != 0 && wide != 1)
    {
        return FailRead(text);
    }
    *value = wide == 1;
    return true;
}

bool ReadTextFloat(TextFile* text, double* value)
{
    if (!BeginRead(text))
    {
        return false;
    }
    char number[NUMBER_TEXT_SIZE] = {};
    size_t length = 0;
    while (std::isspace(PeekTextChar(text)))
    {
        TakeTextChar(text);
    }
    if (PeekTextChar(text) == EOF)
    {
        text->atEnd = true;
        return FailRead(text);
    }
    if (PeekTextChar(text) == '+' || PeekTextChar(text) == '-')
    {
        number[length++] = static_cast<char>(TakeTextChar(text));
    }
    size_t digits = TakeDigits(text, number, &length);
    if (PeekTextChar(text) == '.')
    {
        AppendNumberChar(number, &length, TakeTextChar(text));
        digits += TakeDigits(text, number, &length);
    }
    if (digits == 0)
    {
        return FailRead(text);
    }
    if (PeekTextChar(text) == 'e' || PeekTextChar(text) == 'E')
    {
        AppendNumberChar(number, &length, TakeTextChar(text));
        if (PeekTextChar(text) == '+' || PeekTextChar(text) == '-')
        {
            AppendNumberChar(number, &length, TakeTextChar(text));
        }
        if (TakeDigits(text, number, &length) == 0)
        {
            return FailRead(text);
        }
    }
    if (PeekTextChar(text) == EOF)
    {
        text->atEnd = true;
    }
    if (number[NUMBER_TEXT_SIZE - 1] == 'x')
    {
        return FailRead(text);
    }
    const char* first = number[0] == '+' ? number + 1 : number;
    double parsed = 0.0;
    auto [end, error] = std::from_chars(first, number + length, parsed);
    (void)end;
    if (error != std::errc())
    {
        return FailRead(text);
    }
    *value = parsed;
    return true;
}

bool ReadTextLine(TextFile* text, char* buffer, size_t size)
{
    if (size > 0)
    {
        buffer[0] = '\0';
    }
    if (!BeginRead(text) || size == 0)
    {
        return false;
    }
    size_t taken = 0;
    while (taken + 1 < size)
    {
        int c = PeekTextChar(text);
        if (c == EOF)
        {
            text->atEnd = true;
            break;
        }
        if (c == '\n')
        {
            break;
        }
        buffer[taken++] = static_cast<char>(TakeTextChar(text));
    }
    buffer[taken] = '\0';
    if (taken == 0)
    {
        return FailRead(text);
    }
    return true;
}

bool DiscardTextLine(TextFile* text, size_t maxLength)
{
    if (!BeginRead(text))
    {
        return false;
    }
    size_t taken = 0;
    for (;;)
    {
        int c = TakeTextChar(text);
        if (c == EOF)
        {
            return taken > 0 ? true : FailRead(text);
        }
        if (c == '\n')
        {
            return true;
        }
        if (++taken >= maxLength)
        {
            return FailRead(text);
        }
    }
}
