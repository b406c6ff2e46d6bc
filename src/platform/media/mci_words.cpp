#include "platform/media/mci_words.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace orvex {

bool SameKeyword(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::vector<std::string>> SplitMciWords(std::string_view command) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < command.size()) {
    if (command[i] == ' ' || command[i] == '\t') {
      ++i;
      continue;
    }
    if (command[i] == '"') {
      const size_t close = command.find('"', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      words.emplace_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    const size_t end = std::min(command.find_first_of(" \t", i), command.size());
    words.emplace_back(command.substr(i, end - i));
    i = end;
  }
  return words;
}

std::optional<int32_t> ParseMciInteger(std::string_view word) {
  int32_t value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, error] = std::from_chars(word.data(), end, value);
  if (word.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace orvex
