#include <stdexcept>

#include "text/system_code_page.h"

namespace veltrana {

unsigned SystemCodePage() {
  return 0;
}

std::string SystemCodePageToUtf8(std::string_view) {
  throw std::logic_error("this system has no ANSI code page");
}

}  // namespace veltrana
