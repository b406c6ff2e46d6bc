#include "platform/media/codec_libraries.h"

#include <dlfcn.h>

#include <initializer_list>
#include <string>

namespace orvex {
namespace {

#define ORVEX_STRINGIFY2(x) #x
#define ORVEX_STRINGIFY(x) ORVEX_STRINGIFY2(x)

// The first symbol of `name` found in any of the handles.
void* Find(std::initializer_list<void*> handles, const char* name) {
  for (void* handle : handles) {
    if (!handle) continue;
    if (void* symbol = dlsym(handle, name)) return symbol;
  }
  return nullptr;
}

void* Open(const char* soname) {
  return dlopen(soname, RTLD_NOW | RTLD_LOCAL);
}

// Fills every member named by the list; false when one is missing.
#define ORVEX_LOAD(name)                                                             \
  functions.name = reinterpret_cast<decltype(functions.name)>(Find(handles, #name)); \
  if (!functions.name) return false;

bool LoadFfmpeg(FfmpegFunctions& functions) {
  const std::initializer_list<void*> handles = {
      Open("libavformat.so." ORVEX_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR)),
      Open("libavcodec.so." ORVEX_STRINGIFY(LIBAVCODEC_VERSION_MAJOR)),
      Open("libavutil.so." ORVEX_STRINGIFY(LIBAVUTIL_VERSION_MAJOR)),
      Open("libswscale.so." ORVEX_STRINGIFY(LIBSWSCALE_VERSION_MAJOR))};
  ORVEX_FFMPEG_FUNCTIONS(ORVEX_LOAD)
  return true;
}

bool LoadSndfile(SndfileFunctions& functions) {
  const std::initializer_list<void*> handles = {Open("libsndfile.so.1")};
  ORVEX_SNDFILE_FUNCTIONS(ORVEX_LOAD)
  return true;
}

bool LoadSdl(SdlFunctions& functions) {
  const std::initializer_list<void*> handles = {Open("libSDL2-2.0.so.0")};
  ORVEX_SDL_FUNCTIONS(ORVEX_LOAD)
  return true;
}

#undef ORVEX_LOAD

}  // namespace

const FfmpegFunctions* Ffmpeg() {
  static const FfmpegFunctions* functions = [] {
    static FfmpegFunctions loaded;
    return LoadFfmpeg(loaded) ? &loaded : nullptr;
  }();
  return functions;
}

const SndfileFunctions* Sndfile() {
  static const SndfileFunctions* functions = [] {
    static SndfileFunctions loaded;
    return LoadSndfile(loaded) ? &loaded : nullptr;
  }();
  return functions;
}

const SdlFunctions* Sdl() {
  static const SdlFunctions* functions = [] {
    static SdlFunctions loaded;
    return LoadSdl(loaded) ? &loaded : nullptr;
  }();
  return functions;
}

}  // namespace orvex
