#include "platform/media/avi_video_device.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/media/clip_player.h"
#include "platform/media/clip_source.h"
#include "platform/media/frame_paint.h"
#include "platform/media/mci_words.h"
#include "platform/user/window.h"

namespace orvex {

struct AviVideoDevice::State {
  std::unique_ptr<ClipPlayer> player;
  HWND window = 0;
  RECT destination{};  // in the window's client area
  bool paused = false;
  bool repeat = false;
};

namespace {

constexpr VideoCodecs kDeviceCodecs{VideoCodec::Raw, VideoCodec::Rle8, VideoCodec::MsVideo1,
                                    VideoCodec::Cinepak};
constexpr const char* kWindowClass = "AVIWnd32";

// The device each video window shows.
std::mutex& WindowsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<HWND, std::shared_ptr<AviVideoDevice::State>>& DeviceWindows() {
  static auto* windows = new std::map<HWND, std::shared_ptr<AviVideoDevice::State>>;
  return *windows;
}

LRESULT VideoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  std::shared_ptr<AviVideoDevice::State> state;
  {
    std::lock_guard lock(WindowsMutex());
    const auto it = DeviceWindows().find(window);
    if (it != DeviceWindows().end()) state = it->second;
  }
  PAINTSTRUCT paint{};
  cairo_t* cr = CairoOfDC(BeginPaint(window, &paint));
  if (cr) {
    RECT client{};
    GetClientRect(window, &client);
    // The area outside the destination rectangle is black.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 0, 0, client.right, client.bottom);
    cairo_fill(cr);
    if (state)
      state->player->WithFrame(
          [&](const Pixels& frame) { PaintFrame(cr, frame, state->destination); });
  }
  EndPaint(window, &paint);
  return 0;
}

void EnsureWindowClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = VideoWindowProc;
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
  });
}

std::string Rect(int left, int top, int width, int height) {
  return std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(width) + " " +
         std::to_string(height);
}

// "at X Y W H" from `words[index]` on; the words must end there.
MCIERROR ReadAt(const std::vector<std::string>& words, size_t index, RECT& rect) {
  if (index + 4 > words.size()) return MCIERR_BAD_INTEGER;
  int32_t v[4];
  for (int i = 0; i < 4; ++i) {
    const auto n = ParseMciInteger(words[index + static_cast<size_t>(i)]);
    if (!n) return MCIERR_BAD_INTEGER;
    v[i] = *n;
  }
  if (index + 4 != words.size()) return MCIERR_UNRECOGNIZED_COMMAND;
  rect = {v[0], v[1], v[0] + v[2], v[1] + v[3]};
  return 0;
}

bool IsNotifyFlag(std::string_view word) {
  return SameKeyword(word, "wait") || SameKeyword(word, "notify") || SameKeyword(word, "test");
}

}  // namespace

AviVideoDevice::AviVideoDevice(std::shared_ptr<State> state) : state_(std::move(state)) {}

AviVideoDevice::~AviVideoDevice() {
  state_->player->Stop();
  {
    std::lock_guard lock(WindowsMutex());
    DeviceWindows().erase(state_->window);
  }
  DestroyWindow(state_->window);
}

MCIERROR AviVideoDevice::Open(const Options& options, std::unique_ptr<AviVideoDevice>& device) {
  if (options.parent && !IsWindow(options.parent)) return MCIERR_CREATEWINDOW;
  auto bytes = ReadClipFile(options.file);
  if (!bytes) return MCIERR_FILE_NOT_FOUND;
  auto player = ClipPlayer::Open(std::move(*bytes), kDeviceCodecs);
  if (!player) return MCIERR_CANNOT_LOAD_DRIVER;
  auto state = std::make_shared<State>();
  state->player = std::move(*player);
  const int width = state->player->Width();
  const int height = state->player->Height();
  state->destination = {0, 0, width, height};
  EnsureWindowClass();
  // A child window sits at the parent's corner; a top-level one is owned by the parent
  // and carries the file name as its title.
  state->window = options.child ? CreateWindowExA(0, kWindowClass, "", WS_CHILD, 0, 0, width,
                                                  height, options.parent, 0, 0, nullptr)
                                : CreateWindowExA(0, kWindowClass, options.file.c_str(),
                                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0,
                                                  width, height, options.parent, 0, 0, nullptr);
  if (!state->window) return MCIERR_CREATEWINDOW;
  {
    std::lock_guard lock(WindowsMutex());
    DeviceWindows()[state->window] = state;
  }
  device.reset(new AviVideoDevice(std::move(state)));
  return 0;
}

MCIERROR AviVideoDevice::Run(std::string_view verb, const std::vector<std::string>& all,
                             std::string& reply) {
  std::vector<std::string> words;
  for (const std::string& w : all)
    if (!IsNotifyFlag(w)) words.push_back(w);
  State& s = *state_;
  ClipPlayer& player = *s.player;
  const uint32_t last = player.FrameCount() - 1;
  const auto word = [&](size_t i, const char* keyword) {
    return i < words.size() && SameKeyword(words[i], keyword);
  };

  if (SameKeyword(verb, "close")) return 0;  // the caller drops the device
  if (SameKeyword(verb, "play") || SameKeyword(verb, "resume")) {
    uint32_t from = s.paused || player.Position() < last ? player.Position() : 0;
    uint32_t to = last;
    bool repeat = SameKeyword(verb, "resume") && s.repeat;
    for (size_t i = 0; i < words.size(); ++i) {
      if (word(i, "repeat")) {
        repeat = true;
      } else if (word(i, "from") || word(i, "to")) {
        if (i + 1 >= words.size()) return MCIERR_MISSING_PARAMETER;
        const auto n = ParseMciInteger(words[i + 1]);
        if (!n) return MCIERR_BAD_INTEGER;
        if (*n < 0 || static_cast<uint32_t>(*n) > last) return MCIERR_OUTOFRANGE;
        (word(i, "from") ? from : to) = static_cast<uint32_t>(*n);
        ++i;
      } else {
        return MCIERR_UNRECOGNIZED_COMMAND;
      }
    }
    if (from > to) return MCIERR_OUTOFRANGE;
    ShowWindow(s.window, SW_SHOW);
    s.paused = false;
    s.repeat = repeat;
    player.Play({from, to, repeat ? -1 : 1});
    return 0;
  }
  if (SameKeyword(verb, "stop") || SameKeyword(verb, "pause")) {
    if (!words.empty()) return MCIERR_UNRECOGNIZED_COMMAND;
    s.paused = SameKeyword(verb, "pause") && player.IsPlaying();
    player.Stop();
    return 0;
  }
  if (SameKeyword(verb, "seek")) {
    if (words.empty()) return MCIERR_MISSING_PARAMETER;
    if (!word(0, "to")) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() == 1) return MCIERR_MISSING_PARAMETER;
    if (words.size() != 2) return MCIERR_UNRECOGNIZED_COMMAND;
    uint32_t frame = 0;
    if (word(1, "end")) {
      frame = last;
    } else if (!word(1, "start")) {
      const auto n = ParseMciInteger(words[1]);
      if (!n) return MCIERR_BAD_INTEGER;
      if (*n < 0 || static_cast<uint32_t>(*n) > last) return MCIERR_OUTOFRANGE;
      frame = static_cast<uint32_t>(*n);
    }
    s.paused = false;
    player.Seek(frame);
    return 0;
  }
  if (SameKeyword(verb, "status")) {
    if (words.empty()) return MCIERR_MISSING_PARAMETER;
    if (words.size() == 1 && word(0, "mode"))
      reply = player.IsPlaying() ? "playing" : s.paused ? "paused" : "stopped";
    else if (words.size() == 1 && word(0, "length"))
      reply = std::to_string(player.FrameCount());
    else if (words.size() == 1 && word(0, "position"))
      reply = std::to_string(player.Position());
    else if (words.size() == 1 && word(0, "ready"))
      reply = "true";
    else if (words.size() == 2 && word(0, "window") && word(1, "handle"))
      reply = std::to_string(s.window);
    else
      return MCIERR_UNRECOGNIZED_COMMAND;
    return 0;
  }
  if (SameKeyword(verb, "where")) {
    if (words.empty()) return MCIERR_MISSING_PARAMETER;
    if (words.size() != 1) return MCIERR_UNRECOGNIZED_COMMAND;
    if (word(0, "destination")) {
      const RECT& d = s.destination;
      reply = Rect(d.left, d.top, d.right - d.left, d.bottom - d.top);
    } else if (word(0, "source")) {
      reply = Rect(0, 0, player.Width(), player.Height());
    } else if (word(0, "window")) {
      RECT r{};
      GetWindowRect(s.window, &r);
      POINT corner{r.left, r.top};
      MapWindowPoints(0, GetParent(s.window), &corner, 1);
      reply = Rect(corner.x, corner.y, r.right - r.left, r.bottom - r.top);
    } else {
      return MCIERR_UNRECOGNIZED_COMMAND;
    }
    return 0;
  }
  if (SameKeyword(verb, "put")) {
    if (words.empty()) return MCIERR_MISSING_PARAMETER;
    const bool window = word(0, "window");
    if (!window && !word(0, "destination")) return MCIERR_UNRECOGNIZED_COMMAND;
    RECT rect{0, 0, player.Width(), player.Height()};  // without "at": the clip's size
    if (words.size() > 1) {
      if (!word(1, "at")) return MCIERR_UNRECOGNIZED_COMMAND;
      if (const MCIERROR e = ReadAt(words, 2, rect)) return e;
    }
    if (window)
      MoveWindow(s.window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 TRUE);
    else
      s.destination = rect;
    return 0;
  }
  if (SameKeyword(verb, "window")) {
    if (words.size() == 2 && word(0, "state") && (word(1, "show") || word(1, "hide"))) {
      ShowWindow(s.window, word(1, "show") ? SW_SHOW : SW_HIDE);
      return 0;
    }
    return words.empty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_COMMAND;
  }
  return MCIERR_UNSUPPORTED_FUNCTION;
}

}  // namespace orvex
