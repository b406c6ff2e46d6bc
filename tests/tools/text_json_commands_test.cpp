// The text commands' --json records through the built client, on text.dll
// (tests/fixtures/rc/text.rc): every field the script declares, compared whole.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

using Json = nlohmann::json;

const std::string kTextFixture = ORVEX_SOURCE_DIR "/tests/fixtures/rc/text.dll";

Json JsonOutput(const std::vector<std::string>& arguments) {
  const OrvexRun run = RunOrvex(arguments);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return Json::parse(run.out, nullptr, false);
}

TEST(TextJsonCommandsTest, StringBlocksKeepTheirTextsWhole) {
  // Line breaks inside a string stay inside its text; the block's name gives the identifiers.
  EXPECT_EQ(JsonOutput({"string", kTextFixture, "#1", "--json"}), Json::parse(R"J({
    "name": "#1", "strings": [{"id": 1, "text": "Hello"}, {"id": 2, "text": "Line one\nline two"},
                              {"id": 15, "text": "Tab\there"}]})J"));
  const Json all = JsonOutput({"string", kTextFixture, "--json"});
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[3],
            Json::parse(R"J({"name": "#251", "strings": [{"id": 4000, "text": "Caf\u00e9"}]})J"));
}

TEST(TextJsonCommandsTest, MessageIdentifiersAsUnsignedNumbersAndHex) {
  EXPECT_EQ(JsonOutput({"messages", kTextFixture, "--json"}), Json::parse(R"J([{
    "name": "#1", "messages": [{"id": 1, "text": "First message.\n"},
                               {"id": 2, "text": "Two lines:\nsecond line.\n"},
                               {"id": 3221225477, "hex": "0xC0000005",
                                "text": "Access violation at %1.\n"}]}])J"));
}

TEST(TextJsonCommandsTest, MenuTreesWithKeysFlagsAndIdentifiers) {
  // A classic separator is reported grayed and disabled (MFS_GRAYED) by the platform's menus.
  // A classic popup's identifier is its submenu's handle: null. An extended popup keeps its own.
  EXPECT_EQ(JsonOutput({"menu", kTextFixture, "MAINMENU", "--json"}), Json::parse(R"J({
    "name": "MAINMENU", "items": [
      {"text": "&File", "key": null, "id": null, "flags": [], "items": [
        {"text": "&Open...", "key": "Ctrl+O", "id": 101, "flags": []},
        {"text": null, "key": null, "id": 0, "flags": ["separator", "grayed", "disabled"]},
        {"text": "&Recent", "key": null, "id": null, "flags": [], "items": [
          {"text": "First", "key": null, "id": 111, "flags": ["checked"]},
          {"text": null, "key": null, "id": 0, "flags": ["separator", "grayed", "disabled"]},
          {"text": "Second", "key": null, "id": 112, "flags": []}]},
        {"text": "E&xit", "key": null, "id": 102, "flags": []}]},
      {"text": "&View", "key": null, "id": null, "flags": [], "items": [
        {"text": "&Status bar", "key": null, "id": 201, "flags": ["checked"]},
        {"text": "&Grayed", "key": null, "id": 202, "flags": ["grayed"]}]},
      {"text": "&Help", "key": null, "id": 40000, "flags": []}]})J"));
  const Json extended = JsonOutput({"menu", kTextFixture, "extmenu", "--json"});
  EXPECT_EQ(extended["items"][0]["id"], 300);
  EXPECT_EQ(extended["items"][0]["items"][2],
            Json::parse(R"J({"text": "&Paste", "key": null, "id": 302, "flags": ["checked"]})J"));
}

TEST(TextJsonCommandsTest, AcceleratorsAsKeyModifiersAndIdentifier) {
  EXPECT_EQ(JsonOutput({"accel", kTextFixture, "MAINACCEL", "--json"}), Json::parse(R"J({
    "name": "MAINACCEL", "accelerators": [
      {"key": "O", "modifiers": ["Ctrl"], "id": 101},
      {"key": "N", "modifiers": ["Shift", "Ctrl"], "id": 100},
      {"key": "F1", "modifiers": [], "id": 7},
      {"key": "DEL", "modifiers": ["Shift", "Ctrl", "Alt"], "id": 40000},
      {"key": "Virtual Key 97", "modifiers": [], "id": 103},
      {"key": "C", "modifiers": ["Ctrl"], "id": 104}]})J"));
}

TEST(TextJsonCommandsTest, VersionFixedPartAndEveryTranslation) {
  EXPECT_EQ(JsonOutput({"version", kTextFixture, "--json"}), Json::parse(R"J({
    "fixed": {"FileVersion": "3.1.4.1", "ProductVersion": "3.1.0.0", "FileFlagsMask": 0,
              "FileFlags": 0, "FileFlagNames": [], "FileOS": 262148,
              "FileOSName": "VOS_NT_WINDOWS32", "FileType": 2, "FileTypeName": "VFT_DLL",
              "FileSubtype": 0, "FileDate": 0},
    "translations": [{"language": 1033, "codePage": 1200}, {"language": 1031, "codePage": 1252}],
    "stringTables": [
      {"key": "040904b0", "language": 1033, "codePage": 1200, "strings": {
        "CompanyName": "Orvex Test Makers", "FileDescription": "Text readers fixture",
        "FileVersion": "3.1.4.1", "InternalName": "",
        "LegalCopyright": "(c) 2026 Orvex Test Makers", "OriginalFilename": "text.dll",
        "ProductName": "Orvex fixtures", "ProductVersion": "3.1"}},
      {"key": "040704e4", "language": 1031, "codePage": 1252, "strings": {
        "FileDescription": "Textleser-Vorlage", "FileVersion": "3.1.4.1 (deutsch)"}}]})J"));
}

TEST(TextJsonCommandsTest, JsonAndRawExcludeEachOther) {
  const OrvexRun run = RunOrvex({"string", kTextFixture, "--json", "--raw"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace orvex::test
