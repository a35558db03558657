// veltrana-generate-book ENTRIES FILE: writes a generated address book of
// ENTRIES entries to FILE, as the benchmarks convert it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "book_generator.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[1]) <= 0) {
    std::fputs("Usage: veltrana-generate-book ENTRIES FILE\n", stderr);
    return 2;
  }
  const std::string book = veltrana::bench::GenerateBook(std::atoi(argv[1]));
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  const bool written = std::fwrite(book.data(), 1, book.size(), out) == book.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
