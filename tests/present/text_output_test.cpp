#include "present/text_output.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <set>
#include <string>
#include <vector>
#include FT_FREETYPE_H

#include "flow/preferences.h"
#include "present/gl_window.h"
#include "tests/support/fake_system.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/test_files.h"
#include "text/code_page.h"
#include "text/translation.h"

namespace {

constexpr int32_t WIDTH = 640;
constexpr int32_t HEIGHT = 480;

// The lit pixels of a picture, counted from the pixel of the raster position
// where the text starts, and how far the raster position went.
struct Glyph {
  std::set<std::pair<int, int>> lit;
  float advance = 0.0f;
  bool operator==(const Glyph &) const = default;
};

// What the game draws of a UTF-8 text in white at (x, 0) of the overlay view.
Glyph DrawGlyph(const char *text, float x = -0.5f) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetOverlayView();
  glColor3f(1.0f, 1.0f, 1.0f);
  glRasterPos2f(x, 0.0f);
  GLfloat start[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, start);
  PrintText("%s", text);
  GLfloat end[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
  Glyph glyph;
  glyph.advance = end[0] - start[0];
  int x0 = static_cast<int>(std::floor(start[0]));
  int y0 = static_cast<int>(std::floor(start[1]));
  std::vector<uint8_t> pixels = ReadFramebuffer(WIDTH, HEIGHT);
  for (int y = 0; y < HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) {
      if (pixels[(static_cast<size_t>(y) * WIDTH + static_cast<size_t>(x)) *
                 3] > 0) {
        glyph.lit.insert({x - x0, y - y0});
      }
    }
  }
  return glyph;
}

// The face the font of code page 1257 drew with: the one fontconfig picks for a
// bold condensed DejaVu Sans with z with caron and e with dot above, at
// `pixels`. Null when there is none.
FT_Face OpenOldFace(FT_Library library, FT_UInt pixels) {
  FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(
      "DejaVu Sans:bold:condensed:charset=117 17e"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern *match = FcFontMatch(nullptr, pattern, &result);
  FcChar8 *file = nullptr;
  int index = 0;
  FT_Face face = nullptr;
  if (match != nullptr &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch &&
      FT_New_Face(library, reinterpret_cast<const char *>(file), index,
                  &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, pixels);
  }
  FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return face;
}

// What that font drew of a code page 1257 byte, made here as it made it: the
// byte decoded by iconv, light hinting, monochrome rendering, placed as
// glBitmap places it (its lower left corner at the raster position's pixel less
// the origin).
Glyph DrawOldGlyph(FT_Face face, unsigned char code) {
  Glyph glyph;
  char byte = static_cast<char>(code);
  char *in = &byte;
  uint32_t character = 0;
  char *out = reinterpret_cast<char *>(&character);
  size_t inLeft = 1;
  size_t outLeft = sizeof character;
  iconv_t converter = iconv_open("UCS-4LE", "CP1257");
  iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (character == 0 ||
      FT_Load_Char(face, character, FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
    return glyph;
  }
  const FT_Bitmap &bitmap = face->glyph->bitmap;
  for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
    for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
      if ((bitmap.buffer[row * bitmap.pitch + column / 8] &
           (0x80 >> (column % 8))) != 0) {
        glyph.lit.insert({face->glyph->bitmap_left + column,
                          face->glyph->bitmap_top - 1 - row});
      }
    }
  }
  glyph.advance = static_cast<float>(face->glyph->advance.x) / 64.0f;
  return glyph;
}

} // namespace

TEST(TextFormat, FormatsLikePrintfAndCutsAt255Characters) {
  char text[PRINT_TEXT_SIZE];
  EXPECT_EQ(FormatText(text, "Laikas: %4i", 7), 12);
  EXPECT_STREQ(text, "Laikas:    7");
  EXPECT_EQ(FormatText(text, "%s!", std::string(300, 'x').c_str()), 255);
  EXPECT_EQ(std::string(text), std::string(255, 'x'));
}

// The Baltic letters draw their own glyphs (the caron adds pixels to the z);
// the controls below the space and malformed UTF-8 draw and advance nothing,
// DEL and the C1 controls a box; a text whose start lies outside the view draws
// nothing. Printing leaves depth testing on whatever it was before, but for no
// format at all; resizing sets the 4:3 viewport and the fixed 45-degree
// projection, leaving the model view current.
TEST(TextOutput,
     EachCharacterDrawsItsOwnGlyphOrNothingAndTheGlStateIsLeftAsItWas) {
  ResetFakeSystem();
  ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
  EXPECT_GT(DrawGlyph("z").lit.size(), 0u);
  EXPECT_GT(DrawGlyph("ž").lit.size(), DrawGlyph("z").lit.size());
  EXPECT_GT(DrawGlyph("ė").lit.size(), 0u);
  EXPECT_EQ(DrawGlyph("A\001\037B"), DrawGlyph("AB"));
  EXPECT_EQ(
      DrawGlyph("\x7F"),
      DrawGlyph("\u0085")); // DEL and a C1 control: a missing letter's box
  EXPECT_GT(DrawGlyph("\x7F").lit.size(), 0u);
  // A stray continuation byte, a lead byte cut short (at the end too), an
  // overlong form, a surrogate, a character above U+10FFFF, bytes that are
  // never UTF-8.
  for (const char *malformed :
       {"A\200B", "A\305B", "AB\342\202", "A\300\257B", "A\355\240\200B",
        "A\364\220\200\200B", "A\376\377B"}) {
    EXPECT_EQ(DrawGlyph(malformed), DrawGlyph("AB")) << malformed;
  }
  EXPECT_TRUE(DrawGlyph("Laikas", -6.0f).lit.empty());

  for (const char *format : {"%d", static_cast<const char *>(nullptr)}) {
    glDisable(GL_DEPTH_TEST);
    PrintText(format, 1);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), format != nullptr);
  }

  ResizeViewport(1920, 1080);
  std::vector<GLint> state(5);
  glGetIntegerv(GL_VIEWPORT, state.data());
  glGetIntegerv(GL_MATRIX_MODE, &state[4]);
  EXPECT_EQ(state, (std::vector<GLint>{240, 0, 1440, 1080, GL_MODELVIEW}));
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  // The y scale is 1 / tan(22.5 degrees); x is that over 4/3.
  EXPECT_NEAR(projection[5], 2.4142136f, 1e-5f);
  EXPECT_NEAR(projection[0], 2.4142136f * 0.75f, 1e-5f);
  // With the wide screen preferred the scene takes the whole window, its pixels
  // as large as the picture's: a wide window's vertical field of view stays 45
  // degrees, a tall one's picture sees what it saw. The flat pictures' view
  // goes back to the 4:3 box.
  preferences.widescreen = true;
  const int32_t shapes[][3] = {{1920, 1080, 1080}, {1080, 1920, 810}};
  for (const auto &[width, height, pictureHeight] : shapes) {
    ResizeViewport(width, height);
    SetSceneView();
    glGetIntegerv(GL_VIEWPORT, state.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(state, (std::vector<GLint>{0, 0, width, height, GL_MODELVIEW}));
    EXPECT_NEAR(projection[5] * height, 2.4142136f * pictureHeight, 1e-2f);
    EXPECT_NEAR(projection[0] * width, projection[5] * height, 1e-2f);
  }
  SetPictureView();
  glGetIntegerv(GL_VIEWPORT, state.data());
  EXPECT_EQ(state, (std::vector<GLint>{0, 555, 1080, 810, GL_MODELVIEW}));
  preferences = Preferences{};
  CloseTestWindow();
}

// Every code the font of code page 1257 had a glyph for (32..254) draws, as
// UTF-8 of the game's converter, the very pixels and advance that font drew;
// the codes it left unused draw nothing. A picture of 1080 lines rasterises
// them afresh at 17 pixels, as FreeType draws them at that size, and fixed
// letters, like a picture of 768 lines or fewer, keep the 12 pixels.
TEST(TextOutput,
     TheLettersOfCodePage1257DrawTheGlyphsTheyDrewBeforeAtThePicturesSize) {
  ResetFakeSystem();
  ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
  const struct {
    int32_t width, height;
    LetterSize letters;
    FT_UInt pixels;
  } sizes[] = {{1920, 1080, LETTERS_GROWING, 17},
               {1024, 768, LETTERS_GROWING, 12},
               {1920, 1080, LETTERS_FIXED, 12}};
  for (const auto &size : sizes) {
    preferences.letters = size.letters;
    ResizeViewport(size.width, size.height);
    glViewport(0, 0, WIDTH,
               HEIGHT); // the test's own window holds what is drawn
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = OpenOldFace(library, size.pixels);
    ASSERT_NE(face, nullptr);
    int drawn = 0;
    for (int code = 32; code <= 254; ++code) {
      const char bytes[2] = {static_cast<char>(code), '\0'};
      char utf8[8];
      ConvertToUtf8(bytes, utf8, sizeof utf8);
      Glyph expected = DrawOldGlyph(face, static_cast<unsigned char>(code));
      EXPECT_EQ(DrawGlyph(utf8), expected)
          << "code " << code << " at " << size.pixels;
      drawn += expected.lit.empty() ? 0 : 1;
    }
    // The letters, digits and signs, but not the space and the unused codes.
    EXPECT_GT(drawn, 180);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  preferences = Preferences{};
  CloseTestWindow();
}

// A catalog the test makes itself puts letters beyond code page 1257 on the
// screen: each draws a glyph of its own, neither nothing, nor the box of a
// missing letter, nor a question mark.
TEST(TextOutput, LettersOfOtherScriptsFromACatalogDrawTheirOwnGlyphs) {
  std::string dir = (std::filesystem::current_path() / "catalogs").string();
  WriteTestFile(
      "catalogs/de.po",
      "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\n#, c-format\nmsgid \"Laikas: %4i\"\n"
      "msgstr \"Zeit ß ü ł λ ж: %4i\"\n");
  std::filesystem::create_directories(dir + "/de/LC_MESSAGES");
  ASSERT_EQ(std::system(("msgfmt -o " + dir + "/de/LC_MESSAGES/vortanai.mo " +
                         dir + "/de.po")
                            .c_str()),
            0);
  ChooseLanguage("de", dir.c_str());
  const char *clock = Translate("Laikas: %4i");
  EXPECT_STREQ(clock, "Zeit ß ü ł λ ж: %4i");
  ResetFakeSystem();
  ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
  char text[PRINT_TEXT_SIZE];
  FormatText(text, clock, 7);
  std::vector<Glyph> letters;
  for (const char *letter : {"ß", "ü", "ł", "λ", "ж"}) {
    EXPECT_NE(std::string(text).find(letter), std::string::npos) << letter;
    letters.push_back(DrawGlyph(letter));
    EXPECT_GT(letters.back().lit.size(), 4u) << letter;
    EXPECT_GT(letters.back().advance, 3.0f) << letter;
  }
  // U+10FFFD, a private character of plane 16, is in no font: the face draws
  // its box.
  Glyph box = DrawGlyph("\U0010FFFD");
  EXPECT_FALSE(box.lit.empty());
  Glyph question = DrawGlyph("?");
  for (size_t i = 0; i < letters.size(); ++i) {
    EXPECT_NE(letters[i], box) << i;
    EXPECT_NE(letters[i], question) << i;
    for (size_t j = 0; j < i; ++j) {
      EXPECT_NE(letters[i].lit, letters[j].lit) << i << " " << j;
    }
  }
  // A letter the face lacks comes from a face that has it, where the system has
  // one (here the Han character for "middle").
  FcPattern *han = FcPatternCreate();
  FcCharSet *hanLetters = FcCharSetCreate();
  FcCharSetAddChar(hanLetters, 0x4E2D);
  FcPatternAddCharSet(han, FC_CHARSET, hanLetters);
  FcObjectSet *fileOnly = FcObjectSetBuild(FC_FILE, nullptr);
  FcFontSet *hanFonts = FcFontList(nullptr, han, fileOnly);
  if (hanFonts != nullptr && hanFonts->nfont > 0) {
    Glyph borrowed = DrawGlyph("中");
    EXPECT_GT(borrowed.lit.size(), 10u);
    EXPECT_NE(borrowed, box);
    EXPECT_GT(font.fallbackCount, 0u);
  }
  if (hanFonts != nullptr) {
    FcFontSetDestroy(hanFonts);
  }
  FcObjectSetDestroy(fileOnly);
  FcCharSetDestroy(hanLetters);
  FcPatternDestroy(han);
  // The translated line draws those letters among its own.
  EXPECT_EQ(DrawGlyph(text).advance,
            DrawGlyph("Zeit ").advance + DrawGlyph("ß ü ł λ ж:    7").advance);
  CloseTestWindow();
  setenv("LANGUAGE", "", 1);
  ChooseLanguage(nullptr, dir.c_str());
  EXPECT_STREQ(Translate("Laikas: %4i"), "Laikas: %4i");
}

// The table holds FONT_GLYPH_CAPACITY characters; one more starts it over, and
// every text still draws whole and as before.
TEST(TextOutput, AFullGlyphTableStartsOverAndTextsStillDrawWhole) {
  ResetFakeSystem();
  ASSERT_TRUE(OpenTestWindow(WIDTH, HEIGHT));
  Glyph before = DrawGlyph("Laikas: ž");
  EXPECT_EQ(font.resets, 0u);
  // Cyrillic, Greek and Latin letters from U+0100 on, 64 to a text.
  uint32_t character = 0x100;
  while (font.resets == 0) {
    char text[PRINT_TEXT_SIZE];
    char *end = text;
    for (int i = 0; i < 64; ++i, ++character) {
      *end++ = static_cast<char>(0xC0 | (character >> 6));
      *end++ = static_cast<char>(0x80 | (character & 0x3F));
    }
    *end = '\0';
    ASSERT_LT(character, 0x800u);
    PrintText("%s", text);
  }
  EXPECT_EQ(font.glyphCount,
            64u); // the text that overflowed it, alone in the new table
  EXPECT_EQ(DrawGlyph("Laikas: ž"), before);
  CloseTestWindow();
}
