// What the browser edition makes of an address book: the page, and each
// format the export writes (its own table, so a new format needs nothing
// here). The page builds its buttons from this list.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "formats/export.h"

namespace veltrana {

struct Product {
  std::string_view id;                 // the name the page asks for it by
  std::string_view label;              // its button
  std::optional<ExportFormat> format;  // none: the page
};

[[nodiscard]] const std::vector<Product>& Products();

// The product called `id`; null for an unknown name.
[[nodiscard]] const Product* ProductNamed(std::string_view id);

}  // namespace veltrana
