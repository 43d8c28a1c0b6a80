#include "run_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

std::vector<std::string> read_lines(const fs::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("missing file " + file.string());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> program_run::lines(const std::string& file) const {
  return read_lines(dir / file);
}

std::string program_run::text(const std::string& file) const {
  std::ifstream in(dir / file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> example_deck(const std::string& name) {
  return read_lines(fs::path(V2PFL_EXAMPLES) / name);
}

std::vector<std::string> with_line(std::vector<std::string> deck, int number,
                                   const std::string& text) {
  deck.at(static_cast<std::size_t>(number - 1)) = text;
  return deck;
}

fs::path fresh_dir(const std::string& name) {
  // The process id keeps test programs run side by side out of each other's way.
  const fs::path dir =
      fs::temp_directory_path() / ("v2pfl_test_" + name + "_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

program_run run_program(const std::vector<std::string>& deck, const fs::path& dir,
                        const std::string& redirect) {
  fs::create_directories(dir);
  {
    std::ofstream d(dir / "deck.in");
    for (const auto& line : deck) d << line << '\n';
  }
  const std::string cmd = "cd '" + dir.string() + "' && '" + V2PFL_BINARY +
                          "' < deck.in " + redirect + " 2> stderr.txt";
  const int raw = std::system(cmd.c_str());
  program_run r;
  r.dir = dir;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = r.text("stdout.txt");
  r.err = r.text("stderr.txt");
  return r;
}
