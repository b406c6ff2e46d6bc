#include "platform/media/animate_control.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/media/clip_player.h"
#include "platform/media/clip_source.h"
#include "platform/media/frame_paint.h"
#include "platform/user/draw.h"
#include "platform/user/system_class_procedure.h"

namespace orvex {
namespace {

// The control plays what the platform's control plays: silent clips, uncompressed or RLE8.
constexpr VideoCodecs kAnimateCodecs{VideoCodec::Raw, VideoCodec::Rle8};

std::mutex& ControlsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<HWND, std::shared_ptr<ClipPlayer>>& Controls() {
  static auto* controls = new std::map<HWND, std::shared_ptr<ClipPlayer>>;
  return *controls;
}

std::shared_ptr<ClipPlayer> PlayerOf(HWND window) {
  std::lock_guard lock(ControlsMutex());
  const auto it = Controls().find(window);
  return it == Controls().end() ? nullptr : it->second;
}

void SetPlayer(HWND window, std::shared_ptr<ClipPlayer> player) {
  std::shared_ptr<ClipPlayer> old;
  {
    std::lock_guard lock(ControlsMutex());
    auto& slot = Controls()[window];
    old = std::exchange(slot, std::move(player));
    if (!slot) Controls().erase(window);
  }
  if (old) old->Stop();
}

// A resource of the module when there is one of that name, else a file path.
Expected<std::vector<std::byte>> ClipBytes(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto name = reinterpret_cast<LPCSTR>(lParam);
  const auto module = static_cast<HMODULE>(
      wParam ? wParam : static_cast<WPARAM>(GetWindowLongPtrA(window, GWLP_HINSTANCE)));
  auto resource = ReadClipResource(module, name);
  if (resource || IS_INTRESOURCE(name)) return resource;
  return ReadClipFile(name);
}

LRESULT Open(HWND window, WPARAM wParam, LPARAM lParam) {
  SetPlayer(window, nullptr);
  if (!lParam) return TRUE;
  auto bytes = ClipBytes(window, wParam, lParam);
  if (!bytes) return FALSE;
  auto info = ReadAviInfo(*bytes);
  if (!info || info->hasAudio) return FALSE;
  auto player = ClipPlayer::Open(std::move(*bytes), kAnimateCodecs);
  if (!player) return FALSE;
  std::shared_ptr<ClipPlayer> shared = std::move(*player);
  const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  if (!(style & ACS_CENTER)) {
    // The control takes the frame's size, keeping its corner and its frame.
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT corner{outer.left, outer.top};
    MapWindowPoints(0, GetParent(window), &corner, 1);
    MoveWindow(window, corner.x, corner.y,
               shared->Width() + (outer.right - outer.left) - client.right,
               shared->Height() + (outer.bottom - outer.top) - client.bottom, TRUE);
  }
  SetPlayer(window, shared);
  if (style & ACS_AUTOPLAY) shared->Play({0, shared->FrameCount() - 1, -1});
  return TRUE;
}

LRESULT Play(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto player = PlayerOf(window);
  if (!player) return FALSE;
  const uint32_t from = LOWORD(lParam);
  const uint32_t to = HIWORD(lParam) == 0xFFFF ? player->FrameCount() - 1 : HIWORD(lParam);
  return player->Play({from, to, static_cast<int32_t>(wParam)}) ? TRUE : FALSE;
}

void Paint(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window, &paint);
  cairo_t* cr = CairoOfDC(dc);
  if (cr) {
    RECT client{};
    GetClientRect(window, &client);
    FillSysColor(cr, client, COLOR_3DFACE);
    if (const auto player = PlayerOf(window)) {
      const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
      player->WithFrame([&](const Pixels& frame) {
        RECT at{0, 0, frame.width, frame.height};
        if (style & ACS_CENTER) {
          const int x = (client.right - frame.width) / 2;
          const int y = (client.bottom - frame.height) / 2;
          at = {x, y, x + frame.width, y + frame.height};
        }
        // A transparent control lets its background show where the frame has the colour
        // of its top-left pixel.
        std::optional<uint32_t> key;
        if ((style & ACS_TRANSPARENT) && !frame.bgra.empty()) key = frame.bgra[0];
        PaintFrame(cr, frame, at, key);
      });
    }
  }
  EndPaint(window, &paint);
}

// Serves "SysAnimate32" from the moment this library is loaded.
const bool registered = [] {
  SetSystemClassProcedure("SysAnimate32", AnimateControlProc);
  return true;
}();

}  // namespace

// Named by the link options of this library so that the linker always keeps this file
// (and the registration above) in the programs it builds.
extern "C" const bool orvex_animate_control_linked = registered;

std::optional<AnimationFrame> AnimationFrameOnShow(HWND control) {
  const auto player = PlayerOf(control);
  if (!player) return std::nullopt;
  AnimationFrame frame;
  player->WithFrame([&](const Pixels& shown) { frame.pixels = shown; });
  frame.index = player->Position();
  frame.frameCount = player->FrameCount();
  frame.frameInterval = player->FrameInterval();
  frame.playing = player->IsPlaying();
  return frame;
}

LRESULT AnimateControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case ACM_OPENA:
      return Open(window, wParam, lParam);
    case ACM_PLAY:
      return Play(window, wParam, lParam);
    case ACM_STOP:
      if (const auto player = PlayerOf(window)) player->Stop();
      return TRUE;
    case ACM_ISPLAYING: {
      const auto player = PlayerOf(window);
      return player && player->IsPlaying() ? TRUE : FALSE;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_NCDESTROY:
      SetPlayer(window, nullptr);
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace orvex
