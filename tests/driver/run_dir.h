// Runs the program binary on a deck in a fresh temporary directory and
// reads back what it wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct program_run {
  std::filesystem::path dir;
  int status = -1;  // exit status of the process
  std::string out, err;

  std::vector<std::string> lines(const std::string& file) const;
  std::string text(const std::string& file) const;
};

// The lines of a text file (without their line ends).
std::vector<std::string> read_lines(const std::filesystem::path& file);

// The lines of an example deck of examples/.
std::vector<std::string> example_deck(const std::string& name);

// A deck with line `number` (1-based) replaced by `text`.
std::vector<std::string> with_line(std::vector<std::string> deck, int number, const std::string& text);

// A fresh, empty temporary directory for one test of this process.
std::filesystem::path fresh_dir(const std::string& name);

// Runs the binary in `dir` (created empty unless it exists) on `deck`, its
// standard output sent as `redirect` says.
program_run run_program(const std::vector<std::string>& deck, const std::filesystem::path& dir,
                        const std::string& redirect = "> stdout.txt");
