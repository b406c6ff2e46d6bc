// The per-user registry of automation classes, kept in one text file.
//
// Location: $ORVEX_REGISTRY when set, else $XDG_CONFIG_HOME/orvex10/registry.ini, else
// ~/.config/orvex10/registry.ini. The file stands for the classes root of the platform's
// registry; a server's DllRegisterServer writes its keys there and DllUnregisterServer
// removes exactly those keys.
//
// Format (UTF-8, one item per line):
//
//   ; Orvex10 automation registry          comment lines start with ";"
//   [CLSID\{49BB8B3D-...}\InprocServer32]  a key: its full path, "\"-separated
//   @=/usr/lib/liborvex10.so                the key's default value
//   ThreadingModel=Apartment                a named value
//
// Key paths and value names compare without regard to ASCII case. Values are single-line
// text. Keys keep the order in which they were first written, so writing a file that was
// read gives the same bytes. Writes replace the file atomically; a registry left with no
// keys removes the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/expected.h"

namespace orvex {

std::string RegistryFilePath();

class RegistryFile {
 public:
  struct Key {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;  // name ("@" = default), value
  };

  // Reads the file; a missing file is an empty registry.
  static Expected<RegistryFile> Load(const std::string& path);
  Expected<void> Save(const std::string& path) const;

  std::optional<std::string> Get(std::string_view key, std::string_view name = "@") const;
  void Set(std::string_view key, std::string_view name, std::string_view value);
  // Removes the key and every key below it.
  void DeleteTree(std::string_view key);
  bool HasKey(std::string_view key) const;
  const std::vector<Key>& Keys() const { return keys_; }
  std::string Text() const;

 private:
  Key* FindKey(std::string_view path);
  const Key* FindKey(std::string_view path) const;

  std::vector<Key> keys_;
};

}  // namespace orvex
