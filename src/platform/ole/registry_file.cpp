#include "platform/ole/registry_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

// Key paths and value names are UTF-8 and match without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a == b || EqualsIgnoringCase(Utf8ToUtf16(a), Utf8ToUtf16(b));
}

bool IsUnder(std::string_view path, std::string_view key) {
  if (EqualsNoCase(path, key)) return true;
  return path.size() > key.size() && path[key.size()] == '\\' &&
         EqualsNoCase(path.substr(0, key.size()), key);
}

}  // namespace

std::string RegistryFilePath() {
  if (const char* explicitPath = std::getenv("ORVEX_REGISTRY"); explicitPath && *explicitPath)
    return explicitPath;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    return std::string(config) + "/orvex10/registry.ini";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/orvex10/registry.ini";
}

Expected<RegistryFile> RegistryFile::Load(const std::string& path) {
  RegistryFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) return file;
    return Error{"cannot read " + path + ": " + std::strerror(errno)};
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return Error{path + ":" + std::to_string(number) + ": bad key line"};
      std::string key = line.substr(1, line.size() - 2);
      if (!file.FindKey(key)) file.keys_.push_back(Key{key, {}});
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || file.keys_.empty())
      return Error{path + ":" + std::to_string(number) + ": bad value line"};
    file.keys_.back().values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return file;
}

std::string RegistryFile::Text() const {
  std::ostringstream out;
  out << "; Orvex10 automation registry\n";
  for (const Key& key : keys_) {
    out << '[' << key.path << "]\n";
    for (const auto& [name, value] : key.values) out << name << '=' << value << '\n';
  }
  return out.str();
}

Expected<void> RegistryFile::Save(const std::string& path) const {
  if (keys_.empty()) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
      return Error{"cannot remove " + path + ": " + std::strerror(errno)};
    return {};
  }
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash != 0) {
    // Create the folder chain (mode 0700) on first use.
    std::string folder = path.substr(0, slash);
    for (size_t at = 1; at <= folder.size(); ++at) {
      if (at == folder.size() || folder[at] == '/') {
        std::string part = folder.substr(0, at);
        if (::access(part.c_str(), F_OK) != 0) ::mkdir(part.c_str(), 0700);
      }
    }
  }
  std::string text = Text();
  return WriteFileAtomically(path, AsBytes(text.data(), text.size()));
}

RegistryFile::Key* RegistryFile::FindKey(std::string_view path) {
  for (Key& key : keys_)
    if (EqualsNoCase(key.path, path)) return &key;
  return nullptr;
}

const RegistryFile::Key* RegistryFile::FindKey(std::string_view path) const {
  for (const Key& key : keys_)
    if (EqualsNoCase(key.path, path)) return &key;
  return nullptr;
}

bool RegistryFile::HasKey(std::string_view key) const {
  return FindKey(key) != nullptr;
}

std::optional<std::string> RegistryFile::Get(std::string_view key, std::string_view name) const {
  const Key* k = FindKey(key);
  if (k == nullptr) return std::nullopt;
  for (const auto& [n, value] : k->values)
    if (EqualsNoCase(n, name)) return value;
  return std::nullopt;
}

void RegistryFile::Set(std::string_view key, std::string_view name, std::string_view value) {
  Key* k = FindKey(key);
  if (k == nullptr) {
    keys_.push_back(Key{std::string(key), {}});
    k = &keys_.back();
  }
  std::string clean(value);
  for (char& c : clean)
    if (c == '\n' || c == '\r') c = ' ';
  for (auto& [n, v] : k->values) {
    if (EqualsNoCase(n, name)) {
      v = clean;
      return;
    }
  }
  k->values.emplace_back(std::string(name), clean);
}

void RegistryFile::DeleteTree(std::string_view key) {
  std::erase_if(keys_, [&](const Key& k) { return IsUnder(k.path, key); });
}

}  // namespace orvex
