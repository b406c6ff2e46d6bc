// FFmpeg, libsndfile and SDL2 opened when first needed (dlopen by their sonames), not when
// a program starts: the platform loads its codecs on demand, and a program that never
// plays a clip or a sound does not pay for mapping some hundred libraries at start-up.
// Each accessor returns the functions this module calls, or null when a library cannot be
// loaded (then the service that needs it fails as for an unplayable file).
#pragma once

extern "C" {
#include <SDL2/SDL.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
#include <sndfile.h>
}

namespace orvex {

// One function a line, as the libraries name them.
// clang-format off
#define ORVEX_FFMPEG_FUNCTIONS(X)  \
  X(av_find_input_format)          \
  X(av_frame_alloc)                \
  X(av_frame_free)                 \
  X(av_frame_unref)                \
  X(av_free)                       \
  X(av_freep)                      \
  X(av_log_set_level)              \
  X(av_malloc)                     \
  X(av_packet_alloc)               \
  X(av_packet_free)                \
  X(av_packet_unref)               \
  X(av_read_frame)                 \
  X(av_strerror)                   \
  X(avcodec_alloc_context3)        \
  X(avcodec_find_decoder)          \
  X(avcodec_free_context)          \
  X(avcodec_open2)                 \
  X(avcodec_parameters_to_context) \
  X(avcodec_receive_frame)         \
  X(avcodec_send_packet)           \
  X(avformat_alloc_context)        \
  X(avformat_close_input)          \
  X(avformat_open_input)           \
  X(avio_alloc_context)            \
  X(avio_context_free)             \
  X(sws_freeContext)               \
  X(sws_getCachedContext)          \
  X(sws_scale)

#define ORVEX_SNDFILE_FUNCTIONS(X) \
  X(sf_close)                      \
  X(sf_open)                       \
  X(sf_open_virtual)               \
  X(sf_readf_short)                \
  X(sf_strerror)                   \
  X(sf_write_short)

#define ORVEX_SDL_FUNCTIONS(X) \
  X(SDL_CloseAudioDevice)      \
  X(SDL_GetNumAudioDevices)    \
  X(SDL_InitSubSystem)         \
  X(SDL_OpenAudioDevice)       \
  X(SDL_PauseAudioDevice)      \
  X(SDL_QuitSubSystem)
// clang-format on

// The argument is a function's name, which parentheses would not leave a name.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define ORVEX_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;

struct FfmpegFunctions {
  ORVEX_FFMPEG_FUNCTIONS(ORVEX_FUNCTION_POINTER)
};
struct SndfileFunctions {
  ORVEX_SNDFILE_FUNCTIONS(ORVEX_FUNCTION_POINTER)
};
struct SdlFunctions {
  ORVEX_SDL_FUNCTIONS(ORVEX_FUNCTION_POINTER)
};

#undef ORVEX_FUNCTION_POINTER

const FfmpegFunctions* Ffmpeg();
const SndfileFunctions* Sndfile();
const SdlFunctions* Sdl();

}  // namespace orvex
