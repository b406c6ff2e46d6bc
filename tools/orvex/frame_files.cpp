#include "frame_files.h"

#include <gif_lib.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

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

// Writes each frame as it comes; the screen takes the first frame's size.
class GifWriter : public FrameWriter {
 public:
  GifWriter(std::string path, unsigned delayMs) : path_(std::move(path)), delayMs_(delayMs) {}

  void Add(Pixels frame) override {
    if (!gif_) Start(frame);
    if (frame.width != width_ || frame.height != height_)
      throw CliError("cannot write " + path_ + ": frames differ in size");
    IndexedFrame indexed = Index(frame, path_);
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = static_cast<int>(std::max(1u, (delayMs_ + 5) / 10));
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    Check(EGifPutExtension(gif_.get(), GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension), path_);
    Check(EGifPutImageDesc(gif_.get(), 0, 0, frame.width, frame.height, false, indexed.map.get()),
          path_);
    for (int32_t y = 0; y < frame.height; ++y)
      Check(EGifPutLine(gif_.get(), indexed.indexes.data() + static_cast<size_t>(y) * frame.width,
                        frame.width),
            path_);
  }

  void Finish() override {
    if (!gif_) throw CliError("cannot write " + path_ + ": the clip has no frames");
    int error = 0;
    if (EGifCloseFile(gif_.release(), &error) == GIF_ERROR) throw CliError("cannot write " + path_);
  }

 private:
  void Start(const Pixels& first) {
    int error = 0;
    gif_.reset(EGifOpenFileName(path_.c_str(), false, &error));
    if (!gif_) throw CliError("cannot write " + path_);
    width_ = first.width;
    height_ = first.height;
    EGifSetGifVersion(gif_.get(), true);
    Check(EGifPutScreenDesc(gif_.get(), width_, height_, 8, 0, nullptr), path_);
    // The application extension that makes viewers loop the animation for ever.
    static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoopForEver[] = {1, 0, 0};
    Check(EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE), path_);
    Check(EGifPutExtensionBlock(gif_.get(), sizeof kNetscape, kNetscape), path_);
    Check(EGifPutExtensionBlock(gif_.get(), sizeof kLoopForEver, kLoopForEver), path_);
    Check(EGifPutExtensionTrailer(gif_.get()), path_);
  }

  std::string path_;
  unsigned delayMs_;
  std::unique_ptr<GifFileType, GifCloser> gif_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// Encodes frames on one worker per processor; at most two frames per worker wait, so memory
// stays bounded however long the clip.
class PngWriter : public FrameWriter {
 public:
  explicit PngWriter(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (!std::filesystem::is_directory(folder_)) throw CliError("cannot create folder " + folder_);
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
  }

  ~PngWriter() override { Stop(); }

  void Add(Pixels frame) override {
    std::unique_lock lock(mutex_);
    roomLeft_.wait(lock, [&] { return queue_.size() < 2 * workers_.size() || failure_; });
    if (failure_) throw CliError(*failure_);
    queue_.push_back({++count_, std::move(frame)});
    work_.notify_one();
  }

  void Finish() override {
    Stop();
    if (failure_) throw CliError(*failure_);
    if (count_ == 0) throw CliError("cannot write " + folder_ + ": the clip has no frames");
  }

 private:
  struct Job {
    size_t number;
    Pixels frame;
  };

  void Work() {
    for (;;) {
      Job job;
      {
        std::unique_lock lock(mutex_);
        work_.wait(lock, [&] { return !queue_.empty() || done_; });
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.pop_front();
        roomLeft_.notify_one();
      }
      char leaf[32];
      std::snprintf(leaf, sizeof leaf, "frame_%04zu.png", job.number);
      try {
        WriteFramePng((std::filesystem::path(folder_) / leaf).string(), job.frame);
      } catch (const std::runtime_error& e) {
        std::lock_guard lock(mutex_);
        if (!failure_) failure_ = e.what();
        roomLeft_.notify_all();
      }
    }
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
      work_.notify_all();
    }
    for (std::thread& worker : workers_)
      if (worker.joinable()) worker.join();
  }

  std::string folder_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable roomLeft_;
  std::deque<Job> queue_;
  std::vector<std::thread> workers_;
  size_t count_ = 0;
  bool done_ = false;
  std::optional<std::string> failure_;
};

}  // namespace

std::unique_ptr<FrameWriter> FrameWriter::AnimatedGif(const std::string& path, unsigned delayMs) {
  return std::make_unique<GifWriter>(path, delayMs);
}

std::unique_ptr<FrameWriter> FrameWriter::NumberedPngs(const std::string& folder) {
  return std::make_unique<PngWriter>(folder);
}

}  // namespace orvex::cli
