#include "web/web_api.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>

#include "catalogue_client.h"
#include "cli_error.h"
#include "dialog_host.h"
#include "host/host_kit.h"
#include "host/host_language.h"
#include "host/picture_image.h"
#include "listing_json.h"
#include "platform/gdi/image.h"
#include "platform/media/avi_decoder.h"
#include "platform/module/resource_types.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "resource_data.h"
#include "resource_key.h"
#include "resource_kinds.h"
#include "stored_picture.h"
#include "web/base64.h"
#include "web/pe_signature.h"
#include "web/scratch_file.h"
#include "web/wave_audio.h"

namespace orvex::cli {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// The largest slice of bytes one request returns.
constexpr size_t kMaxSlice = 1 << 20;

std::string Param(const ApiParams& params, const char* key) {
  const auto found = params.find(key);
  return found == params.end() ? std::string() : found->second;
}

// The refusal of a request whose parameters cannot be taken as they stand: a required one
// missing or empty, or any holding a NUL character (which would cut a path short where the
// system reads it: "x.dll%00.txt").
std::optional<ApiResponse> RefuseParams(const ApiParams& params,
                                        std::initializer_list<const char*> required) {
  for (const auto& [key, value] : params) {
    if (value.find('\0') != std::string::npos)
      return ApiError(400, "the parameter " + key + " holds a NUL character");
  }
  for (const char* key : required) {
    if (Param(params, key).empty()) return ApiError(400, std::string("missing parameter: ") + key);
  }
  return std::nullopt;
}

// A count of bytes as decimal digits, or nothing for anything else ("-5", "1e3", "").
std::optional<size_t> ByteCount(const std::string& text) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The UI language a request names with lang= (as --lang takes it), set on the serving
// thread for that request only: requests run on a pool of threads that serve one request
// after another, so the language goes back to the default when the request ends.
class RequestLanguage {
 public:
  explicit RequestLanguage(std::optional<LANGID> language) : set_(language.has_value()) {
    if (set_) SetThreadUILanguage(*language);
  }
  ~RequestLanguage() {
    if (set_) SetThreadUILanguage(0);
  }
  RequestLanguage(const RequestLanguage&) = delete;
  RequestLanguage& operator=(const RequestLanguage&) = delete;

 private:
  bool set_;
};

// The language lang= names (nothing without it), or the refusal of a text that names none.
std::optional<ApiResponse> ReadLanguage(const ApiParams& params, std::optional<LANGID>& language) {
  const std::string text = Param(params, "lang");
  if (text.empty()) return std::nullopt;
  language = host::ParseUiLanguage(text);
  if (!language) return ApiError(400, "lang names no language: " + text);
  return std::nullopt;
}

// The catalogue client of the calling thread, made on its first request and kept for the
// thread's life; a request opens its module anew.
CatalogueClient& ThreadClient() {
  thread_local std::unique_ptr<CatalogueClient> client;
  if (!client) {
    RegisterClasses();
    RegisterHostKitClasses();
    client = std::make_unique<CatalogueClient>();
  }
  return *client;
}

ApiResponse Bytes(std::string body, const char* type, std::string download = {}) {
  ApiResponse response;
  response.contentType = type;
  response.body = std::move(body);
  response.downloadName = std::move(download);
  return response;
}

// A dialog previewed in a host-kit form and captured.
ApiResponse DialogCapture(CatalogueClient& client, const ResourceKey& key, ImageFormat format) {
  const bool svg = format == ImageFormat::kSvg;
  HostForm host;
  bool popup = false;
  const HWND preview = ShowInHost(client, host, key.resName, &popup);
  if (!preview)
    return ApiError(404, "no dialog " + key.nameText + " (missing, or it cannot be built)");
  const std::string path = ScratchFile(ExtensionOf(format));
  const BOOL written =
      svg ? CaptureWindowToSvg(preview, path.c_str()) : CaptureWindowToPng(preview, path.c_str());
  if (!written) return ApiError(500, "the dialog could not be captured");
  std::string body = ReadFile(path);
  fs::remove(path);
  return Bytes(std::move(body), svg ? "image/svg+xml" : "image/png");
}

ApiResponse PicturePng(CatalogueClient& client, const ResourceKey& key, const std::string& file) {
  ComPtr<IDispatch> picture = IsPictureType(key.typeNumber)
                                  ? client.GetPicture(key.typeText, key.nameText, file)
                                  : client.GetPictureExt(key.typeText, key.nameText, file);
  const PictureImage image = ReadPicture(picture.Get(), true);
  const std::string path = ScratchFile(".png");
  WritePng(path, image.image);
  std::string body = ReadFile(path);
  fs::remove(path);
  ApiResponse response = Bytes(std::move(body), "image/png");
  return response;
}

// A picture in the colours its resource stores (GetPicture maps a bitmap's greys to the
// system's 3D colours), made by the platform's image functions.
ApiResponse StoredPicturePng(CatalogueClient& client, const ResourceKey& key) {
  if (!IsPictureType(key.typeNumber))
    return ApiError(400, "stored is for cursors, bitmaps and icons (types 1, 2, 3, 12, 14)");
  const RgbaImage image = StoredPictureImage(client.HandleModule(), *key.typeNumber, key.nameText);
  const std::string path = ScratchFile(".png");
  WritePng(path, image);
  std::string body = ReadFile(path);
  fs::remove(path);
  return Bytes(std::move(body), "image/png");
}

// An AVI clip's frames as PNG data URLs with the clip's size and frame period, decoded by
// the platform's video service (the codecs its MCI device accepts).
ApiResponse ClipFrames(const std::vector<uint8_t>& bytes) {
  constexpr size_t kMaxFrames = 1000;
  constexpr size_t kMaxBody = 64 << 20;
  std::vector<std::byte> file(bytes.size());
  std::memcpy(file.data(), bytes.data(), bytes.size());
  auto decoder = AviDecoder::Open(
      std::move(file),
      VideoCodecs{VideoCodec::Raw, VideoCodec::Rle8, VideoCodec::MsVideo1, VideoCodec::Cinepak});
  if (!decoder) return ApiError(415, "not a clip this viewer plays: " + decoder.GetError().message);
  const AviInfo& info = (*decoder)->Info();
  Json frames = Json::array();
  size_t total = 0;
  const std::string path = ScratchFile(".png");
  while (frames.size() < kMaxFrames && total < kMaxBody) {
    auto frame = (*decoder)->NextFrame();
    if (!frame) return ApiError(415, "the clip cannot be decoded: " + frame.GetError().message);
    if (!*frame) break;
    // Decoded frames are opaque (alpha 255).
    const RgbaImage image = RgbaFromPixels(**frame);
    WritePng(path, image);
    std::string url = "data:image/png;base64," + Base64(ReadFile(path));
    total += url.size();
    frames.push_back(std::move(url));
  }
  fs::remove(path);
  return Bytes(Json{{"width", info.width},
                    {"height", info.height},
                    {"microsecondsPerFrame", info.microsecondsPerFrame},
                    {"frames", std::move(frames)}}
                   .dump(),
               "application/json");
}

// A sound as 16-bit PCM WAV, which every browser plays.
ApiResponse SoundWav(const std::vector<uint8_t>& bytes) {
  auto wav = PcmWavOf(std::as_bytes(std::span(bytes)));
  if (!wav) return ApiError(415, "the sound cannot be played: " + wav.GetError().message);
  return Bytes(std::move(*wav), "audio/wav");
}

}  // namespace

ApiResponse ApiError(int status, const std::string& message) {
  ApiResponse response;
  response.status = status;
  response.body = Json{{"error", message}}.dump(-1, ' ', false, Json::error_handler_t::replace);
  return response;
}

namespace {

// The module the "file" parameter names, or the answer that refuses it: ResolveUnder's
// refusals, and 415 for what is no regular PE file.
struct ResolvedModule {
  fs::path path;
  std::optional<ApiResponse> refusal;
};

ResolvedModule ResolveModule(const fs::path& root, const std::string& rel) {
  const ResolvedPath file = ResolveUnder(root, rel);
  if (file.status != 200) return {{}, ApiError(file.status, "no such file")};
  if (!fs::is_regular_file(file.path) || !LooksLikePe(file.path))
    return {{}, ApiError(415, rel + " is no PE module")};
  return {file.path, std::nullopt};
}

}  // namespace

WebApi::WebApi(const fs::path& root) : root_(fs::canonical(root)) {}

ApiResponse WebApi::Files(const ApiParams& params) const {
  if (auto refusal = RefuseParams(params, {})) return *refusal;
  const ResolvedPath dir = ResolveUnder(root_, Param(params, "dir"));
  if (dir.status != 200) return ApiError(dir.status, "no such folder");
  std::error_code error;
  if (!fs::is_directory(dir.path, error)) return ApiError(404, "not a folder");
  Json entries = Json::array();
  std::vector<fs::directory_entry> list;
  for (fs::directory_iterator it(dir.path, error), end; !error && it != end; it.increment(error))
    list.push_back(*it);
  std::sort(list.begin(), list.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const fs::directory_entry& entry : list) {
    std::error_code ignored;  // an entry that cannot be read shows as a plain file
    // A symbolic link that leads out of the folder is left out: it could not be opened.
    if (entry.is_symlink(ignored) &&
        ResolveUnder(root_, fs::relative(entry.path(), root_, ignored).string()).status == 403)
      continue;
    const bool folder = entry.is_directory(ignored);
    Json item{{"name", entry.path().filename().string()}, {"type", folder ? "dir" : "file"}};
    if (!folder) {
      const bool regular = entry.is_regular_file(ignored);
      item["size"] = regular ? entry.file_size(ignored) : 0;
      item["pe"] = regular && LooksLikePe(entry.path());
    }
    entries.push_back(std::move(item));
  }
  const std::string rel = fs::relative(dir.path, root_).generic_string();
  return Bytes(Json{{"dir", rel == "." ? "" : rel}, {"entries", std::move(entries)}}.dump(
                   -1, ' ', false, Json::error_handler_t::replace),
               "application/json");
}

ApiResponse WebApi::List(const ApiParams& params) const {
  if (auto refusal = RefuseParams(params, {"file"})) return *refusal;
  std::optional<LANGID> language;
  if (auto refusal = ReadLanguage(params, language)) return *refusal;
  const std::string rel = Param(params, "file");
  const ResolvedModule file = ResolveModule(root_, rel);
  if (file.refusal) return *file.refusal;
  const RequestLanguage requestLanguage(language);
  CatalogueClient& client = ThreadClient();
  if (auto why = client.Load(file.path.string())) return ApiError(415, rel + ": " + *why);
  std::vector<TypeRecord> types = client.ReadCatalogue(RecordFields::kAll);
  MarkTruncated(client.HandleModule(), types);
  Json listing = ListingJson(rel, types);
  // Each item's languages, from the module layer (the records hold the one picked).
  for (size_t t = 0; t < types.size(); ++t) {
    Json& items = listing["types"][t]["ResourceItems"];
    for (size_t i = 0; i < types[t].ResourceItems.size(); ++i) {
      items[i]["languages"] =
          ResourceLanguages(client.HandleModule(), TypeNumber(types[t]), types[t].NameLong,
                            NameArgument(types[t].ResourceItems[i]));
    }
  }
  client.Close();
  return Bytes(listing.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json");
}

ApiResponse WebApi::Resource(const ApiParams& params) const {
  if (auto refusal = RefuseParams(params, {"file", "type", "name"})) return *refusal;
  std::optional<LANGID> language;
  if (auto refusal = ReadLanguage(params, language)) return *refusal;
  const std::string rel = Param(params, "file");
  const ResolvedModule file = ResolveModule(root_, rel);
  if (file.refusal) return *file.refusal;
  ResourceKey key;
  try {
    key = ParseResourceKey(Param(params, "type"), Param(params, "name"));
  } catch (const CliError& e) {
    return ApiError(400, e.what());
  }
  const std::string as = Param(params, "as").empty() ? "raw" : Param(params, "as");
  if (as != "text" && as != "hex" && as != "png" && as != "svg" && as != "raw" && as != "frames" &&
      as != "wav" && as != "stored")
    return ApiError(400, "as must be text, hex, png, stored, svg, frames, wav or raw");
  const std::optional<size_t> offset =
      ByteCount(Param(params, "offset").empty() ? "0" : Param(params, "offset"));
  const std::optional<size_t> length = ByteCount(
      Param(params, "length").empty() ? std::to_string(kMaxSlice) : Param(params, "length"));
  if (!offset || !length)
    return ApiError(400, "offset and length are numbers of bytes (0 or more)");
  const RequestLanguage requestLanguage(language);
  CatalogueClient& client = ThreadClient();
  if (auto why = client.Load(file.path.string())) return ApiError(415, rel + ": " + *why);
  struct Closer {
    CatalogueClient& client;
    ~Closer() { client.Close(); }
  } closer{client};
  try {
    const std::optional<std::vector<uint8_t>> bytes = client.ReadResource(key);
    if (!bytes) return ApiError(404, NoResourceMessage("resource", key.nameText, rel));
    const bool dialog = key.typeNumber == kTypeDialog;
    if (as == "raw") {
      const size_t start = std::min(*offset, bytes->size());
      const size_t count = std::min({*length, bytes->size() - start, kMaxSlice});
      ApiResponse response = Bytes(
          std::string(reinterpret_cast<const char*>(bytes->data()) + start, count),
          "application/octet-stream", FileStem(key.resType) + "_" + FileStem(key.resName) + ".bin");
      return response;
    }
    if (as == "hex") return Bytes(Utf16ToUtf8(client.GetHexDump(key)), "text/plain; charset=utf-8");
    if (as == "text")
      return Bytes(Utf16ToUtf8(ResourceText(client, key)), "text/plain; charset=utf-8");
    if (as == "frames") return ClipFrames(*bytes);
    if (as == "wav") return SoundWav(*bytes);
    if (as == "stored") return StoredPicturePng(client, key);
    if (dialog)
      return DialogCapture(client, key, as == "svg" ? ImageFormat::kSvg : ImageFormat::kPng);
    if (as == "svg") return ApiError(400, "svg is for dialogs");
    return PicturePng(client, key, rel);
  } catch (const DataBeyondEndError& e) {
    return ApiError(422, e.what());
  } catch (const CliError& e) {
    return ApiError(404, e.what());
  } catch (const std::exception& e) {
    return ApiError(500, e.what());
  }
}

}  // namespace orvex::cli
