#pragma once
// The window's icon sizes as pixels in the program itself (generated at build time from
// the rendered PNGs by numira-icon-pixels), so that the window's start decodes no image.
#include <cstddef>
#include <cstdint>

namespace numira::ui {

struct IconPixels {
  int size;                    // width and height
  const std::uint32_t* argb;   // size * size pixels 0xAARRGGBB (not premultiplied), row by row
};
extern const IconPixels kIconPixels[];
extern const std::size_t kIconPixelsCount;

}  // namespace numira::ui
