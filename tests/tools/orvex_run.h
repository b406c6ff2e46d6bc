// Runs the built orvex client as a separate process, without a shell (arguments reach it
// exactly), and collects its stdout, stderr and exit status.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace orvex::test {

inline const std::string kOrvexBinary = ORVEX_BINARY_DIR "/tools/orvex/orvex";
inline const std::string kSampleModule = ORVEX_BINARY_DIR "/sample/sample.dll";
inline const std::string kBasicFixture = ORVEX_SOURCE_DIR "/tests/fixtures/rc/basic.dll";

struct OrvexRun {
  std::string out;
  std::string err;
  int status = -1;  // the exit status, -1 when the process did not exit normally
};

inline std::string ReadWholeFile(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

inline OrvexRun RunOrvex(const std::vector<std::string>& arguments) {
  TempDir capture;
  const std::string outPath = capture.File("stdout");
  const std::string errPath = capture.File("stderr");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(kOrvexBinary.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  OrvexRun run;
  const pid_t child = fork();
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWholeFile(outPath);
  run.err = ReadWholeFile(errPath);
  return run;
}

}  // namespace orvex::test
