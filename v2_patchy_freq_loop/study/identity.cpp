// The fingerprint of a study table: hashes of the deck and of the point
// list, the number of points and the shard.
#include <bit>
#include <charconv>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/report.h"
#include "study/table.h"

namespace study {

namespace {

// 64-bit FNV-1a, fed byte by byte.
class fnv1a {
 public:
  void byte(unsigned char c) { h_ = (h_ ^ c) * 0x100000001b3ULL; }
  void bytes(std::string_view s) {
    for (unsigned char c : s) byte(c);
  }
  // Little-endian, whatever the machine.
  void word(std::uint64_t w) {
    for (int i = 0; i < 8; ++i) byte(static_cast<unsigned char>(w >> (8 * i)));
  }
  void real(double x) { word(std::bit_cast<std::uint64_t>(x)); }
  std::uint64_t value() const { return h_; }

 private:
  std::uint64_t h_ = 0xcbf29ce484222325ULL;
};

constexpr std::string_view identity_title = "v2_patchy_freq_loop study table";

}  // namespace

std::uint64_t hash_text(std::string_view text) {
  fnv1a h;
  h.bytes(text);
  return h.value();
}

std::uint64_t hash_points(const std::vector<point>& points) {
  fnv1a h;
  h.word(points.size());
  for (const point& p : points) {
    h.real(p.freq_hz);
    h.word(p.field.name.size());
    h.bytes(p.field.name);
    const core::water_field& w = *p.field.cells;
    h.word(static_cast<std::uint64_t>(w.nx));
    h.word(static_cast<std::uint64_t>(w.ny));
    for (double x : w.v) h.real(x);
  }
  return h.value();
}

void write_identity(const std::filesystem::path& table, const table_identity& id) {
  const std::filesystem::path path = fingerprint_path(table);
  errno = 0;
  std::ofstream out(path, std::ios::trunc);
  out << identity_title << '\n'
      << "deck " << std::hex << id.deck << '\n'
      << "points " << id.points << std::dec << '\n'
      << "count " << id.count << '\n'
      << "shard " << id.part.index << '/' << id.part.count << '\n';
  out.close();
  if (!out)
    throw run_stop{stop_write_failed,
                   "cannot write \"" + path.string() + "\": " + std::strerror(errno)};
}

std::optional<table_identity> read_identity(const std::filesystem::path& table) {
  std::ifstream in(fingerprint_path(table));
  std::string title;
  if (!std::getline(in, title) || title != identity_title) return std::nullopt;
  table_identity id;
  std::string deck, points, count, shard, number, rest;
  char slash = 0;
  in >> deck >> std::hex >> id.deck >> points >> id.points >> std::dec >> count >> number >>
      shard >> id.part.index >> slash >> id.part.count;
  // The count as the digits written (an unsigned read would wrap "-1"), a
  // shard that exists, and nothing after it.
  const auto [end, ec] =
      std::from_chars(number.data(), number.data() + number.size(), id.count);
  if (!in || deck != "deck" || points != "points" || count != "count" || shard != "shard" ||
      slash != '/' || ec != std::errc() || end != number.data() + number.size() ||
      id.part.count < 1 || id.part.index < 0 || id.part.index >= id.part.count || in >> rest)
    return std::nullopt;
  return id;
}

}  // namespace study
