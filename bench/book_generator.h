// Address books for measurements: an alias line and a note line per entry,
// nicknames in shuffled order so that the work list really sorts. The same
// number of entries gives the same bytes on every platform.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace veltrana::bench {

inline std::string GenerateBook(int entries) {
  std::mt19937 random(static_cast<std::uint32_t>(entries));
  std::string book;
  for (int i = 0; i < entries; ++i) {
    const std::string nick = "n" + std::to_string(random()) + "x" + std::to_string(i);
    book += "alias " + nick + " " + nick + "@mail.example\r\n";
    book += "note " + nick + " <name:Person " + std::to_string(i) +
            "><address:1 Main St\x03Town><phone:555-0100>Met in " + std::to_string(1990 + i % 30) +
            "\r\n";
  }
  return book;
}

}  // namespace veltrana::bench
