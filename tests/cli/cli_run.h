// Runs the program with command-line arguments in a directory and reads
// back what it wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct cli_run {
  int status = -1;
  std::string out, err;
};

// Runs the binary with `args` in `dir`; standard output goes to `stdout_to`
// when given (e.g. /dev/full), else it is captured.
cli_run run_cli_program(const std::vector<std::string>& args, const std::filesystem::path& dir,
                        const std::string& stdout_to = "");

// The bytes of a file ("" when it is missing).
std::string file_bytes(const std::filesystem::path& file);

// Writes `text` to `file`.
void write_file(const std::filesystem::path& file, const std::string& text);

// A case of the golden master: its deck (and water file) under tests/golden.
std::filesystem::path golden_case(const std::string& name);

// A deck file in `dir` made of `lines`.
std::filesystem::path deck_file(const std::filesystem::path& dir, const std::string& name,
                                const std::vector<std::string>& lines);
