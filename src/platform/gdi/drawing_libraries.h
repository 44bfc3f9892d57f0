// The libraries that draw text and write pictures (FreeType, HarfBuzz, fontconfig, FriBidi,
// libpng), each loaded the first time something is drawn, shaped, ordered or written with it: a
// command that draws nothing starts without them and the dozen libraries they bring.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>
#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>
#include <png.h>

namespace platform::gdi {

struct FreeTypeFunctions {
  decltype(&FT_Init_FreeType) initFreeType;
  decltype(&FT_New_Face) newFace;
  decltype(&FT_Done_Face) doneFace;
  decltype(&FT_Set_Pixel_Sizes) setPixelSizes;
  decltype(&FT_Select_Size) selectSize;
  decltype(&FT_Get_Char_Index) charIndex;
  decltype(&FT_Load_Glyph) loadGlyph;
};

struct HarfBuzzFunctions {
  decltype(&hb_ft_font_create_referenced) fontFromFace;
  decltype(&hb_ft_font_set_load_flags) fontSetLoadFlags;
  decltype(&hb_font_destroy) fontDestroy;
  decltype(&hb_buffer_create) bufferCreate;
  decltype(&hb_buffer_destroy) bufferDestroy;
  decltype(&hb_buffer_reset) bufferReset;
  decltype(&hb_buffer_add_utf16) bufferAddUtf16;
  decltype(&hb_buffer_set_direction) bufferSetDirection;
  decltype(&hb_buffer_set_script) bufferSetScript;
  decltype(&hb_buffer_set_language) bufferSetLanguage;
  decltype(&hb_buffer_set_flags) bufferSetFlags;
  decltype(&hb_buffer_get_glyph_infos) bufferGlyphInfos;
  decltype(&hb_buffer_get_glyph_positions) bufferGlyphPositions;
  decltype(&hb_language_get_default) defaultLanguage;
  decltype(&hb_shape) shape;
  decltype(&hb_unicode_funcs_get_default) defaultUnicodeFunctions;
  decltype(&hb_unicode_script) unicodeScript;
};

struct FontconfigFunctions {
  decltype(&FcInitLoadConfigAndFonts) initLoadConfigAndFonts;
  decltype(&FcPatternCreate) patternCreate;
  decltype(&FcPatternDestroy) patternDestroy;
  decltype(&FcPatternAddString) patternAddString;
  decltype(&FcPatternAddInteger) patternAddInteger;
  decltype(&FcPatternGetString) patternGetString;
  decltype(&FcPatternGetCharSet) patternGetCharSet;
  decltype(&FcPatternGetInteger) patternGetInteger;
  decltype(&FcPatternGetBool) patternGetBool;
  decltype(&FcConfigSubstitute) configSubstitute;
  decltype(&FcDefaultSubstitute) defaultSubstitute;
  decltype(&FcFontSort) fontSort;
  decltype(&FcFontSetDestroy) fontSetDestroy;
  decltype(&FcCharSetHasChar) charSetHasChar;
};

struct FriBidiFunctions {
  decltype(&fribidi_get_bidi_type) bidiType;
  decltype(&fribidi_get_bidi_types) bidiTypes;
  decltype(&fribidi_get_bracket_types) bracketTypes;
  decltype(&fribidi_get_par_embedding_levels_ex) embeddingLevels;
};

struct PngFunctions {
  decltype(&png_create_write_struct) createWriteStruct;
  decltype(&png_create_info_struct) createInfoStruct;
  decltype(&png_destroy_write_struct) destroyWriteStruct;
  decltype(&png_set_longjmp_fn) setLongJump;
  decltype(&png_init_io) initIo;
  decltype(&png_set_IHDR) setHeader;
  decltype(&png_write_info) writeInfo;
  decltype(&png_write_row) writeRow;
  decltype(&png_write_end) writeEnd;
  decltype(&png_image_begin_read_from_file) imageBeginReadFromFile;
  decltype(&png_image_finish_read) imageFinishRead;
  decltype(&png_image_free) imageFree;
};

// Each library's functions, or null when it or one of them cannot be found. Without FreeType faces
// measure but draw nothing; without HarfBuzz text is laid out a glyph per character; without
// fontconfig no fallback face is found; without FriBidi every paragraph keeps its base direction;
// without libpng pictures are neither written nor read, and say so.
const FreeTypeFunctions* FreeType();
const HarfBuzzFunctions* HarfBuzz();
const FontconfigFunctions* Fontconfig();
const FriBidiFunctions* FriBidi();
const PngFunctions* Png();

}  // namespace platform::gdi
