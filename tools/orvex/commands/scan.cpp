// `orvex scan PATH...`: every file under the given files and folders, one JSON line each,
// in path order:
//   {"path":"a.dll","types":[{"type":"6","description":"String-table entry",
//     "items":[{"name":"#1","size":82}]}]}
//   {"path":"notes.txt","skipped":"not a PE module (EXE, DLL or other PE file)"}
// Worker threads (one per core by default) take files by an atomic index; each has its own
// catalogue, so each has its own module state. A file that gives no module is skipped with
// the reason instead of the catalogue's "Invalid Library" box; other boxes shown while a
// file is read are kept out of stderr and go into the file's line as "messages".
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/runtime_error.h"
#include "catalogue_client.h"
#include "commands/commands.h"
#include "language_option.h"
#include "message_boxes.h"
#include "platform/text/text.h"
#include "progress_bar.h"
#include "text_output.h"

namespace orvex::cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

struct ScanEntry {
  std::string path;
  std::optional<std::string> skipped;  // known before the scan (a folder that can't be read)
};

struct ScanOptions {
  std::vector<std::string> paths;
  unsigned jobs = 0;  // 0: one per core
};

// Files under `folder`, depth first in name order; symbolic links to folders are not
// followed (they could loop).
void CollectFolder(const fs::path& folder, std::vector<ScanEntry>& out) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) {
    out.push_back({folder.string(), "cannot read the folder: " + error.message()});
    return;
  }
  std::vector<fs::directory_entry> children;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    children.push_back(*it);
  }
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a.path() < b.path(); });
  for (const fs::directory_entry& child : children) {
    std::error_code statusError;
    const bool link = child.is_symlink(statusError);
    if (child.is_directory(statusError)) {
      if (!link) CollectFolder(child.path(), out);
    } else if (child.is_regular_file(statusError)) {
      out.push_back({child.path().string(), std::nullopt});
    }
  }
}

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

std::string Line(const Json& record) {
  return record.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string ScanFile(CatalogueClient& client, const ScanEntry& entry) {
  Json record;
  record["path"] = entry.path;
  if (entry.skipped) {
    record["skipped"] = *entry.skipped;
    return Line(record);
  }
  BoxCapture boxes;
  try {
    if (std::optional<std::string> failure = client.Load(entry.path)) {
      record["skipped"] = *failure;
      return Line(record);
    }
    const std::vector<TypeRecord> types = client.ReadCatalogue(RecordFields::kListing);
    Json& typeList = record["types"] = Json::array();
    for (const TypeRecord& type : types) {
      Json items = Json::array();
      for (const ItemRecord& item : type.ResourceItems) {
        items.push_back(Json{{"name", Utf8(NameArgument(item))}, {"size", item.Size}});
      }
      typeList.push_back(Json{{"type", Utf8(TypeArgument(type))},
                              {"description", Utf8(type.NameLong)},
                              {"items", std::move(items)}});
    }
  } catch (const RuntimeError& error) {
    record["error"] = (error.Source().empty() ? "" : error.Source() + ": ") + "error " +
                      std::to_string(error.Number()) + ": " + error.Description();
  }
  if (!boxes.Boxes().empty()) record["messages"] = boxes.Texts();
  return Line(record);
}

// Lines come back in any order and leave in path order; the progress bar is drawn from
// the same lock.
class OrderedOutput {
 public:
  OrderedOutput(size_t count, bool progress)
      : lines_(count),
        progress_("scanning", "files", progress ? count : 0),
        showProgress_(progress) {}

  void Deliver(size_t index, std::string line) {
    std::lock_guard lock(mutex_);
    lines_[index] = std::move(line);
    ++done_;
    progress_.Erase();
    while (next_ < lines_.size() && lines_[next_]) {
      if (!failed_) {
        try {
          WriteString(stdout, *lines_[next_]);
        } catch (...) {
          failed_ = std::current_exception();
        }
      }
      lines_[next_].reset();
      ++next_;
    }
    if (showProgress_) progress_.Advance(done_);
  }

  void Finish() {
    std::lock_guard lock(mutex_);
    progress_.Erase();
    if (failed_) std::rethrow_exception(failed_);
    FinishOutput(stdout, "the scan");
  }

 private:
  std::mutex mutex_;
  std::vector<std::optional<std::string>> lines_;
  size_t next_ = 0;
  size_t done_ = 0;
  ProgressBar progress_;
  bool showProgress_;
  std::exception_ptr failed_;
};

int Scan(const ScanOptions& options) {
  int status = 0;
  std::vector<ScanEntry> entries;
  for (const std::string& path : options.paths) {
    std::error_code error;
    const fs::file_status fileStatus = fs::status(path, error);
    if (fs::is_directory(fileStatus)) {
      CollectFolder(path, entries);
    } else if (fs::exists(fileStatus)) {
      entries.push_back({path, std::nullopt});
    } else {
      std::fprintf(stderr, "orvex: no such file or folder: %s\n", path.c_str());
      entries.push_back({path, "no such file or folder"});
      status = 1;
    }
  }

  RegisterClasses();
  unsigned jobs =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  jobs = static_cast<unsigned>(std::min<size_t>(jobs, std::max<size_t>(entries.size(), 1)));

  OrderedOutput output(entries.size(), isatty(STDERR_FILENO) == 1);
  std::atomic<size_t> next{0};
  std::mutex failureMutex;
  std::exception_ptr failure;
  auto work = [&] {
    try {
      ApplyChosenLanguage();
      CatalogueClient client;
      for (size_t index = next++; index < entries.size(); index = next++) {
        output.Deliver(index, ScanFile(client, entries[index]));
      }
      client.Close();
    } catch (...) {
      std::lock_guard lock(failureMutex);
      if (!failure) failure = std::current_exception();
      next = entries.size();  // the others stop after their current file
    }
  };

  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
  output.Finish();
  return status;
}

}  // namespace

void RegisterScanCommand(CLI::App& app, int& exitStatus) {
  CLI::App* command = app.add_subcommand(
      "scan", "List the resources of every file under the given files and folders, as JSON lines");
  auto options = std::make_shared<ScanOptions>();
  command->add_option("PATH", options->paths, "Files and folders to scan")->required();
  command->add_option("-j,--jobs", options->jobs, "Worker threads (default: one per core)");
  command->callback([options, &exitStatus] { exitStatus = Scan(*options); });
}

}  // namespace orvex::cli
