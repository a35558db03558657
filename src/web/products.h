// What the browser edition makes of an address book: the page, and each
// export the command line writes. One row per product; the page builds its
// buttons from this table, so a new format is one more row.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "cli/export_options.h"

namespace veltrana {

struct Product {
  std::string_view id;                 // the name the page asks for it by
  std::string_view label;              // its button
  std::optional<ExportFormat> format;  // none: the page
  std::optional<VCardVersion> vcard_version;
};

std::span<const Product> Products();

// The product called `id`; null for an unknown name.
const Product* ProductNamed(std::string_view id);

}  // namespace veltrana
