#include "platform/cairo/cairo_fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace zq::platform::fonts {

namespace {

// Windows faces that charts name, mapped to the metric-compatible families installed on Linux.
struct Alias {
  const char* windows;
  const char* family;
};
constexpr Alias kAliases[] = {
    {"arial", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"tahoma", "Liberation Sans"},
    {"verdana", "Liberation Sans"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
};
constexpr const char* kFallbackFamily = "DejaVu Sans";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return out;
}

std::string LinuxFamily(const std::string& face) {
  const std::string key = Lower(face);
  if (key.empty()) return "Liberation Sans";
  for (const Alias& a : kAliases)
    if (key == a.windows) return a.family;
  return face;
}

// A resolved face with the font-unit metrics GDI sizes and places text by.
struct Face {
  cairo_font_face_t* face = nullptr;
  std::string file;
  double unitsPerEm = 2048;
  double winAscent = 0, winDescent = 0;
  double underlinePosition = 0, underlineThickness = 0;
  double strikeoutPosition = 0, strikeoutSize = 0;
};

using FaceKey = std::tuple<std::string, int32_t, bool>;  // family, weight, italic
using InstanceKey = std::tuple<std::string, int32_t, bool, int32_t, int32_t>;  // + height, esc

struct Cache {
  std::mutex mutex;
  std::map<FaceKey, Face> faces;
  std::map<InstanceKey, std::shared_ptr<const FontInstance>> instances;
};

Cache& TheCache() {
  // Never destroyed: fonts may still be in use while static objects are torn down.
  static Cache* cache = new Cache;
  return *cache;
}

cairo_font_options_t* GdiLikeOptions(bool aliased) {
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_antialias(o, aliased ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_FULL);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
  return o;
}

cairo_scaled_font_t* MakeScaled(cairo_font_face_t* face, double size, double angle,
                                bool aliased = true) {
  cairo_matrix_t fm, ctm;
  cairo_matrix_init_rotate(&fm, -angle);  // device y points down
  cairo_matrix_scale(&fm, size, size);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* o = GdiLikeOptions(aliased);
  cairo_scaled_font_t* sf = cairo_scaled_font_create(face, &fm, &ctm, o);
  cairo_font_options_destroy(o);
  return sf;
}

Face ResolveFace(const std::string& family, int32_t weight, bool italic) {
  Face out;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFallbackFamily));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);

  // A fresh pattern with only the file, so that no desktop setting changes how it renders
  // (antialiasing is left to each scaled font).
  FcPattern* exact = FcPatternCreate();
  int matchWeight = FC_WEIGHT_REGULAR, matchSlant = FC_SLANT_ROMAN;
  if (match) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      out.file = reinterpret_cast<const char*>(file);
      FcPatternAddString(exact, FC_FILE, file);
    }
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
      FcPatternAddInteger(exact, FC_INDEX, index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchWeight);
    FcPatternGetInteger(match, FC_SLANT, 0, &matchSlant);
    FcPatternDestroy(match);
  }
  FcPatternAddBool(exact, FC_HINTING, FcTrue);
  FcPatternAddInteger(exact, FC_HINT_STYLE, FC_HINT_FULL);
  FcPatternAddBool(exact, FC_AUTOHINT, FcFalse);
  FcPatternAddBool(exact, FC_EMBEDDED_BITMAP, FcFalse);
  out.face = cairo_ft_font_face_create_for_pattern(exact);
  FcPatternDestroy(exact);

  unsigned synth = 0;
  if (weight >= 600 && matchWeight < FC_WEIGHT_DEMIBOLD) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (italic && matchSlant == FC_SLANT_ROMAN) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synth) cairo_ft_font_face_set_synthesize(out.face, synth);

  cairo_scaled_font_t* probe = MakeScaled(out.face, 16, 0);
  if (FT_Face ft = cairo_ft_scaled_font_lock_face(probe)) {
    out.unitsPerEm = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(ft, FT_SFNT_POST));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      out.winAscent = os2->usWinAscent;
      out.winDescent = os2->usWinDescent;
      out.strikeoutPosition = os2->yStrikeoutPosition;
      out.strikeoutSize = os2->yStrikeoutSize;
    } else {
      out.winAscent = ft->ascender;
      out.winDescent = -ft->descender;
    }
    if (out.strikeoutSize <= 0) {
      out.strikeoutPosition = out.winAscent / 3;
      out.strikeoutSize = out.unitsPerEm / 20;
    }
    if (post) {
      out.underlinePosition = post->underlinePosition;
      out.underlineThickness = post->underlineThickness;
    } else {
      out.underlinePosition = ft->underline_position;
      out.underlineThickness = ft->underline_thickness;
    }
    cairo_ft_scaled_font_unlock_face(probe);
  }
  if (out.winAscent + out.winDescent <= 0) {
    out.winAscent = out.unitsPerEm * 0.9;
    out.winDescent = out.unitsPerEm * 0.2;
  }
  cairo_scaled_font_destroy(probe);
  return out;
}

int32_t Round(double v) {
  return int32_t(std::lround(v));
}

}  // namespace

FontInstance::~FontInstance() {
  if (measure) cairo_scaled_font_destroy(measure);
  if (rotated && rotated != upright) cairo_scaled_font_destroy(rotated);
  if (upright) cairo_scaled_font_destroy(upright);
}

std::shared_ptr<const FontInstance> Get(const LogFont& font) {
  const std::string family = LinuxFamily(font.face);
  const int32_t weight = font.weight <= 0 ? 400 : font.weight;
  int32_t esc = font.escapement % 3600;
  if (esc < 0) esc += 3600;

  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  const FaceKey faceKey{Lower(family), weight, font.italic};
  auto faceIt = cache.faces.find(faceKey);
  if (faceIt == cache.faces.end())
    faceIt = cache.faces.emplace(faceKey, ResolveFace(family, weight, font.italic)).first;
  const Face& face = faceIt->second;

  // Negative heights are the em size; positive ones the cell (win ascent + descent), for
  // which GDI takes the nearest whole em size whose cell is no taller; 0 is a 16-pixel cell.
  int64_t ppem;
  if (font.height < 0) {
    ppem = -int64_t(font.height);
  } else {
    const int64_t cell = font.height > 0 ? font.height : 16;
    const int64_t units = std::max<int64_t>(1, std::llround(face.winAscent + face.winDescent));
    const int64_t upem = std::llround(face.unitsPerEm);
    auto mulDiv = [](int64_t a, int64_t b, int64_t c) { return (a * b * 2 + c) / (2 * c); };
    ppem = mulDiv(upem, cell, units);
    while (ppem > 1 && mulDiv(units, ppem, upem) > cell) --ppem;
  }
  const double size = double(std::clamp<int64_t>(ppem, 1, 4096));

  const InstanceKey key{std::get<0>(faceKey), weight, font.italic, font.height, esc};
  if (auto it = cache.instances.find(key); it != cache.instances.end()) return it->second;

  auto inst = std::make_shared<FontInstance>();
  const double scale = size / face.unitsPerEm;
  inst->size = size;
  inst->file = face.file;
  inst->ascent = Round(face.winAscent * scale);
  inst->descent = Round(face.winDescent * scale);
  inst->underlinePosition = Round(face.underlinePosition * scale);
  inst->underlineSize = std::max(1, Round(face.underlineThickness * scale));
  inst->strikeoutPosition = Round(face.strikeoutPosition * scale);
  inst->strikeoutSize = std::max(1, Round(face.strikeoutSize * scale));
  inst->angle = esc * M_PI / 1800.0;
  inst->upright = MakeScaled(face.face, size, 0);
  inst->rotated = esc == 0 ? inst->upright : MakeScaled(face.face, size, inst->angle);
  inst->measure = MakeScaled(face.face, size, 0, false);
  if (cache.instances.size() >= 512) cache.instances.clear();  // users keep theirs alive
  cache.instances.emplace(key, inst);
  return inst;
}

std::string SanitizeUtf8(std::string_view text) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto c = uint8_t(text[i]);
    size_t len = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      len = 1;
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    }
    bool ok = len > 0 && i + len <= text.size();
    for (size_t k = 1; ok && k < len; ++k) {
      const auto cc = uint8_t(text[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (ok) {
      static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      ok = cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0;
    }
    if (ok) {
      out.append(text.substr(i, len));
      i += len;
    } else {
      out += kReplacement;
      i += 1;
    }
  }
  return out;
}

std::vector<cairo_glyph_t> Layout(const FontInstance& font, std::string_view utf8, double x,
                                  double y, bool rotated) {
  std::vector<cairo_glyph_t> out;
  if (utf8.empty()) return out;
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  cairo_status_t st = cairo_scaled_font_text_to_glyphs(rotated ? font.rotated : font.upright, x, y,
                                                       utf8.data(), int(utf8.size()), &glyphs,
                                                       &count, nullptr, nullptr, nullptr);
  if (st == CAIRO_STATUS_SUCCESS && glyphs) out.assign(glyphs, glyphs + count);
  cairo_glyph_free(glyphs);
  return out;
}

std::vector<int32_t> Advances(const FontInstance& font, const std::vector<cairo_glyph_t>& glyphs) {
  std::vector<int32_t> out;
  out.reserve(glyphs.size());
  for (const cairo_glyph_t& g : glyphs) {
    cairo_glyph_t one = {g.index, 0, 0};
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(font.measure, &one, 1, &ext);
    out.push_back(Round(ext.x_advance));
  }
  return out;
}

int32_t Advance(const FontInstance& font, std::string_view utf8) {
  int64_t sum = 0;
  for (int32_t a : Advances(font, Layout(font, utf8, 0, 0, false))) sum += a;
  return int32_t(std::min<int64_t>(sum, INT32_MAX));
}

}  // namespace zq::platform::fonts
