#include "engine/drawing/jpeg_reader.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include <jpeglib.h>
// jpeglib.h must come first.
#include <jerror.h>

#include "engine/drawing/errors.h"
#include "engine/drawing/picture.h"

namespace zq {

namespace {

// libjpeg's own working memory (a progressive file keeps all its coefficients) may not grow
// past this; beyond it libjpeg reports an error instead of allocating.
constexpr long kMaxLibraryMemory = 512L << 20;

constexpr uint32_t kOpaque = 0xFF000000u;

// libjpeg reports fatal errors through error_exit, which must not return. It longjmps back to
// Decode; C++ exceptions must not cross libjpeg's C frames.
struct ErrorManager {
  jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings about missing or undecodable image data are errors: libjpeg would go on and fill the
// rest of the picture with grey or garbage. Other warnings (stray bytes between markers, say)
// go nowhere.
extern "C" void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
      OnJpegError(cinfo);
    default:
      break;
  }
}

// Everything Decode touches after setjmp lives here, outside its frame, so that nothing is left
// indeterminate by the longjmp.
struct State {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  bool created;
  JDIMENSION width;
  JDIMENSION height;
};

// Where the pixels go: owned by the caller, whose frame the longjmp never skips.
struct Sink {
  platform::Image image;

  uint32_t* Allocate(JDIMENSION width, JDIMENSION height) noexcept {
    try {
      image.pixels.assign(size_t(width) * size_t(height), kOpaque);
      image.width = int32_t(width);
      image.height = int32_t(height);
      return image.pixels.data();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
};

enum class Result { kOk, kLibraryError, kTooLarge, kNoMemory, kBadComponents };

inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return kOpaque | r << 16 | g << 8 | b;
}

inline uint32_t Product(uint32_t a, uint32_t b) {
  return (a * b + 127) / 255;
}

void ConvertRow(const JSAMPLE* in, uint32_t* out, JDIMENSION width, J_COLOR_SPACE space,
                bool inverted) {
  switch (space) {
    case JCS_GRAYSCALE:
      for (JDIMENSION x = 0; x < width; ++x) out[x] = Rgb(in[x], in[x], in[x]);
      break;
    case JCS_CMYK:
      // Adobe's files store the inks inverted (255 = no ink).
      for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        uint32_t c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = Rgb(Product(c, k), Product(m, k), Product(y, k));
      }
      break;
    default:
      for (JDIMENSION x = 0; x < width; ++x, in += 3) out[x] = Rgb(in[0], in[1], in[2]);
      break;
  }
}

// No object with a destructor may live in this function: the longjmp would skip it.
Result Decode(const uint8_t* data, size_t size, State* s, Sink* sink) {
  j_decompress_ptr cinfo = &s->cinfo;
  cinfo->err = jpeg_std_error(&s->err.pub);
  s->err.pub.error_exit = OnJpegError;
  s->err.pub.emit_message = OnJpegMessage;
  s->err.message[0] = '\0';
  s->created = false;
  if (setjmp(s->err.jump)) {
    if (s->created) jpeg_destroy_decompress(&s->cinfo);
    return Result::kLibraryError;
  }
  jpeg_create_decompress(cinfo);
  s->created = true;
  cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);

  s->width = cinfo->image_width;
  s->height = cinfo->image_height;
  if (s->width == 0 || s->height == 0 || s->width > kMaxPictureSide ||
      s->height > kMaxPictureSide || int64_t(s->width) * s->height > kMaxPicturePixels) {
    jpeg_destroy_decompress(cinfo);
    return Result::kTooLarge;
  }

  int components = 3;
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
      cinfo->out_color_space = JCS_GRAYSCALE;
      components = 1;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo->out_color_space = JCS_CMYK;
      components = 4;
      break;
    default:
      cinfo->out_color_space = JCS_RGB;
      break;
  }
  jpeg_start_decompress(cinfo);
  if (cinfo->output_components != components) {
    jpeg_destroy_decompress(cinfo);
    return Result::kBadComponents;
  }
  uint32_t* pixels = sink->Allocate(cinfo->output_width, cinfo->output_height);
  if (pixels == nullptr) {
    jpeg_destroy_decompress(cinfo);
    return Result::kNoMemory;
  }
  // Freed with the decompressor.
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               cinfo->output_width * JDIMENSION(components), 1);
  const bool inverted = cinfo->saw_Adobe_marker;
  while (cinfo->output_scanline < cinfo->output_height) {
    uint32_t* out = pixels + size_t(cinfo->output_scanline) * cinfo->output_width;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) break;
    ConvertRow(row[0], out, cinfo->output_width, cinfo->out_color_space, inverted);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return Result::kOk;
}

}  // namespace

platform::Image DecodeJpeg(const std::vector<uint8_t>& data) {
  if (data.empty()) throw ChartException("the file is empty");
  State state;
  Sink sink;
  switch (Decode(data.data(), data.size(), &state, &sink)) {
    case Result::kOk:
      return std::move(sink.image);
    case Result::kLibraryError:
      throw ChartException(state.err.message);
    case Result::kTooLarge:
      if (state.width == 0 || state.height == 0) {
        throw ChartException("invalid picture size " + std::to_string(state.width) + " x " +
                             std::to_string(state.height));
      }
      CheckPictureSize(state.width, state.height);
      break;
    case Result::kNoMemory:
      throw ChartException("not enough memory for the picture");
    case Result::kBadComponents:
      throw ChartException("unsupported number of colour components");
  }
  throw ChartException("cannot decode the picture");
}

}  // namespace zq
