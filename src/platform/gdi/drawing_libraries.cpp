#include "platform/gdi/drawing_libraries.h"

#include <optional>

#include "platform/internal/shared_library.h"

namespace platform::gdi {
namespace {

using internal::LoadFunctions;
using internal::SharedLibrary;

void ResolveFreeType(SharedLibrary& library, FreeTypeFunctions& ft) {
  library.Resolve(ft.initFreeType, "FT_Init_FreeType");
  library.Resolve(ft.newFace, "FT_New_Face");
  library.Resolve(ft.doneFace, "FT_Done_Face");
  library.Resolve(ft.setPixelSizes, "FT_Set_Pixel_Sizes");
  library.Resolve(ft.selectSize, "FT_Select_Size");
  library.Resolve(ft.charIndex, "FT_Get_Char_Index");
  library.Resolve(ft.loadGlyph, "FT_Load_Glyph");
}

void ResolveHarfBuzz(SharedLibrary& library, HarfBuzzFunctions& hb) {
  library.Resolve(hb.fontFromFace, "hb_ft_font_create_referenced");
  library.Resolve(hb.fontSetLoadFlags, "hb_ft_font_set_load_flags");
  library.Resolve(hb.fontDestroy, "hb_font_destroy");
  library.Resolve(hb.bufferCreate, "hb_buffer_create");
  library.Resolve(hb.bufferDestroy, "hb_buffer_destroy");
  library.Resolve(hb.bufferReset, "hb_buffer_reset");
  library.Resolve(hb.bufferAddUtf16, "hb_buffer_add_utf16");
  library.Resolve(hb.bufferSetDirection, "hb_buffer_set_direction");
  library.Resolve(hb.bufferSetScript, "hb_buffer_set_script");
  library.Resolve(hb.bufferSetLanguage, "hb_buffer_set_language");
  library.Resolve(hb.bufferSetFlags, "hb_buffer_set_flags");
  library.Resolve(hb.bufferGlyphInfos, "hb_buffer_get_glyph_infos");
  library.Resolve(hb.bufferGlyphPositions, "hb_buffer_get_glyph_positions");
  library.Resolve(hb.defaultLanguage, "hb_language_get_default");
  library.Resolve(hb.shape, "hb_shape");
  library.Resolve(hb.defaultUnicodeFunctions, "hb_unicode_funcs_get_default");
  library.Resolve(hb.unicodeScript, "hb_unicode_script");
}

void ResolveFontconfig(SharedLibrary& library, FontconfigFunctions& fc) {
  library.Resolve(fc.initLoadConfigAndFonts, "FcInitLoadConfigAndFonts");
  library.Resolve(fc.patternCreate, "FcPatternCreate");
  library.Resolve(fc.patternDestroy, "FcPatternDestroy");
  library.Resolve(fc.patternAddString, "FcPatternAddString");
  library.Resolve(fc.patternAddInteger, "FcPatternAddInteger");
  library.Resolve(fc.patternGetString, "FcPatternGetString");
  library.Resolve(fc.patternGetCharSet, "FcPatternGetCharSet");
  library.Resolve(fc.patternGetInteger, "FcPatternGetInteger");
  library.Resolve(fc.patternGetBool, "FcPatternGetBool");
  library.Resolve(fc.configSubstitute, "FcConfigSubstitute");
  library.Resolve(fc.defaultSubstitute, "FcDefaultSubstitute");
  library.Resolve(fc.fontSort, "FcFontSort");
  library.Resolve(fc.fontSetDestroy, "FcFontSetDestroy");
  library.Resolve(fc.charSetHasChar, "FcCharSetHasChar");
}

void ResolveFriBidi(SharedLibrary& library, FriBidiFunctions& fribidi) {
  library.Resolve(fribidi.bidiType, "fribidi_get_bidi_type");
  library.Resolve(fribidi.bidiTypes, "fribidi_get_bidi_types");
  library.Resolve(fribidi.bracketTypes, "fribidi_get_bracket_types");
  library.Resolve(fribidi.embeddingLevels, "fribidi_get_par_embedding_levels_ex");
}

void ResolvePng(SharedLibrary& library, PngFunctions& png) {
  library.Resolve(png.createWriteStruct, "png_create_write_struct");
  library.Resolve(png.createInfoStruct, "png_create_info_struct");
  library.Resolve(png.destroyWriteStruct, "png_destroy_write_struct");
  library.Resolve(png.setLongJump, "png_set_longjmp_fn");
  library.Resolve(png.initIo, "png_init_io");
  library.Resolve(png.setHeader, "png_set_IHDR");
  library.Resolve(png.writeInfo, "png_write_info");
  library.Resolve(png.writeRow, "png_write_row");
  library.Resolve(png.writeEnd, "png_write_end");
  library.Resolve(png.imageBeginReadFromFile, "png_image_begin_read_from_file");
  library.Resolve(png.imageFinishRead, "png_image_finish_read");
  library.Resolve(png.imageFree, "png_image_free");
}

template <typename Table>
const Table* Present(const std::optional<Table>& table) {
  return table ? &*table : nullptr;
}

}  // namespace

// The run-time names are those of the libraries the build found and checked the headers against.
const FreeTypeFunctions* FreeType() {
  static const auto functions = LoadFunctions<FreeTypeFunctions>(MMSFORM_FREETYPE_LIBRARY, ResolveFreeType);
  return Present(functions);
}

const HarfBuzzFunctions* HarfBuzz() {
  static const auto functions = LoadFunctions<HarfBuzzFunctions>(MMSFORM_HARFBUZZ_LIBRARY, ResolveHarfBuzz);
  return Present(functions);
}

const FontconfigFunctions* Fontconfig() {
  static const auto functions = LoadFunctions<FontconfigFunctions>(MMSFORM_FONTCONFIG_LIBRARY, ResolveFontconfig);
  return Present(functions);
}

const FriBidiFunctions* FriBidi() {
  static const auto functions = LoadFunctions<FriBidiFunctions>(MMSFORM_FRIBIDI_LIBRARY, ResolveFriBidi);
  return Present(functions);
}

const PngFunctions* Png() {
  static const auto functions = LoadFunctions<PngFunctions>(MMSFORM_PNG_LIBRARY, ResolvePng);
  return Present(functions);
}

}  // namespace platform::gdi
