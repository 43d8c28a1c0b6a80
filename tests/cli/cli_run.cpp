#include "cli/cli_run.h"

#include <sys/wait.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// `s` in single quotes for the shell.
std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

cli_run run_cli_program(const std::vector<std::string>& args, const fs::path& dir,
                        const std::string& stdout_to) {
  fs::create_directories(dir);
  std::string cmd = "cd " + quoted(dir.string()) + " && " + quoted(V2PFL_BINARY);
  for (const auto& a : args) cmd += ' ' + quoted(a);
  cmd += " > " + (stdout_to.empty() ? std::string("cli_stdout.txt") : stdout_to) + " 2> cli_stderr.txt";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, file_bytes(dir / "cli_stdout.txt"),
          file_bytes(dir / "cli_stderr.txt")};
}

std::string file_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

fs::path golden_case(const std::string& name) {
  return fs::path(V2PFL_GOLDEN) / name;
}

fs::path deck_file(const fs::path& dir, const std::string& name,
                   const std::vector<std::string>& lines) {
  fs::create_directories(dir);
  std::string text;
  for (const auto& l : lines) text += l + '\n';
  write_file(dir / name, text);
  return dir / name;
}
