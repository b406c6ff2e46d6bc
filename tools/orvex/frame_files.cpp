#include "frame_files.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "cli_error.h"
#include "host/picture_image.h"

namespace orvex::cli {
namespace {

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};
struct MapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapFreer>;

// One frame as palette indexes and its colour table.
struct IndexedFrame {
  std::vector<GifByteType> indexes;
  ColorMap map;
};

GifColorType Rgb(uint32_t bgra) {
  return GifColorType{static_cast<GifByteType>(bgra >> 16), static_cast<GifByteType>(bgra >> 8),
                      static_cast<GifByteType>(bgra)};
}

// The exact table when the frame has 256 colours or fewer; else giflib's reduction.
IndexedFrame Index(const Pixels& frame, const std::string& path) {
  const size_t count = frame.bgra.size();
  IndexedFrame out;
  out.indexes.resize(count);
  std::map<uint32_t, GifByteType> colours;
  for (uint32_t p : frame.bgra) {
    const uint32_t rgb = p & 0xFFFFFF;
    if (colours.count(rgb)) continue;
    if (colours.size() == 256) break;
    colours.emplace(rgb, static_cast<GifByteType>(colours.size()));
  }
  bool exact = true;
  for (size_t i = 0; i < count && exact; ++i) {
    const auto found = colours.find(frame.bgra[i] & 0xFFFFFF);
    if (found == colours.end())
      exact = false;
    else
      out.indexes[i] = found->second;
  }
  if (exact) {
    std::vector<GifColorType> table(256, GifColorType{0, 0, 0});
    for (const auto& [rgb, index] : colours) table[index] = Rgb(rgb);
    out.map.reset(GifMakeMapObject(256, table.data()));
    if (!out.map) throw CliError("cannot write " + path + ": out of memory");
    return out;
  }
  std::vector<GifByteType> red(count), green(count), blue(count);
  for (size_t i = 0; i < count; ++i) {
    const GifColorType c = Rgb(frame.bgra[i]);
    red[i] = c.Red;
    green[i] = c.Green;
    blue[i] = c.Blue;
  }
  out.map.reset(GifMakeMapObject(256, nullptr));
  int size = 256;
  if (!out.map ||
      GifQuantizeBuffer(static_cast<unsigned>(frame.width), static_cast<unsigned>(frame.height),
                        &size, red.data(), green.data(), blue.data(), out.indexes.data(),
                        out.map->Colors) == GIF_ERROR)
    throw CliError("cannot write " + path + ": colours could not be reduced");
  return out;
}

void Check(int result, const std::string& path) {
  if (result == GIF_ERROR) throw CliError("cannot write " + path);
}

}  // namespace

void WriteAnimatedGif(const std::string& path, const std::vector<Pixels>& frames,
                      unsigned delayMs) {
  if (frames.empty()) throw CliError("cannot write " + path + ": the clip has no frames");
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpenFileName(path.c_str(), false, &error));
  if (!gif) throw CliError("cannot write " + path);
  const Pixels& first = frames.front();
  EGifSetGifVersion(gif.get(), true);
  Check(EGifPutScreenDesc(gif.get(), first.width, first.height, 8, 0, nullptr), path);
  // The application extension that makes viewers loop the animation for ever.
  static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  static const GifByteType kLoopForEver[] = {1, 0, 0};
  Check(EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE), path);
  Check(EGifPutExtensionBlock(gif.get(), sizeof kNetscape, kNetscape), path);
  Check(EGifPutExtensionBlock(gif.get(), sizeof kLoopForEver, kLoopForEver), path);
  Check(EGifPutExtensionTrailer(gif.get()), path);
  const int delay = static_cast<int>(std::max(1u, (delayMs + 5) / 10));
  for (const Pixels& frame : frames) {
    if (frame.width != first.width || frame.height != first.height)
      throw CliError("cannot write " + path + ": frames differ in size");
    IndexedFrame indexed = Index(frame, path);
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension), path);
    Check(EGifPutImageDesc(gif.get(), 0, 0, frame.width, frame.height, false, indexed.map.get()),
          path);
    for (int32_t y = 0; y < frame.height; ++y)
      Check(EGifPutLine(gif.get(), indexed.indexes.data() + static_cast<size_t>(y) * frame.width,
                        frame.width),
            path);
  }
  GifFileType* raw = gif.release();
  if (EGifCloseFile(raw, &error) == GIF_ERROR) throw CliError("cannot write " + path);
}

void WriteFramePngs(const std::string& folder, const std::vector<Pixels>& frames) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder)) throw CliError("cannot create folder " + folder);
  for (size_t i = 0; i < frames.size(); ++i) {
    const RgbaImage image = RgbaFromPixels(frames[i]);
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, "frame_%04zu.png", i + 1);
    try {
      WritePng((std::filesystem::path(folder) / leaf).string(), image);
    } catch (const std::runtime_error& e) {
      throw CliError(e.what());
    }
  }
}

}  // namespace orvex::cli
