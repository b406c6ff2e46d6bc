#include "platform/media/frame_paint.h"

#include <vector>

namespace orvex {

void PaintFrame(cairo_t* cr, const Pixels& frame, const RECT& destination,
                std::optional<uint32_t> transparent) {
  const int width = destination.right - destination.left;
  const int height = destination.bottom - destination.top;
  if (frame.width <= 0 || frame.height <= 0 || width <= 0 || height <= 0 ||
      frame.bgra.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height))
    return;
  // Frames are opaque, so their words are already cairo's premultiplied ARGB32; a keyed
  // copy turns the transparent colour into clear pixels.
  std::vector<uint32_t> keyed;
  const uint32_t* words = frame.bgra.data();
  if (transparent) {
    keyed = frame.bgra;
    for (uint32_t& word : keyed)
      if ((word & 0x00FFFFFF) == (*transparent & 0x00FFFFFF)) word = 0;
    words = keyed.data();
  }
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(words)), CAIRO_FORMAT_ARGB32,
      frame.width, frame.height, frame.width * 4);
  cairo_save(cr);
  cairo_rectangle(cr, destination.left, destination.top, width, height);
  cairo_clip(cr);
  cairo_translate(cr, destination.left, destination.top);
  cairo_scale(cr, static_cast<double>(width) / frame.width,
              static_cast<double>(height) / frame.height);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

}  // namespace orvex
