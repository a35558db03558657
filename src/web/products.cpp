#include "web/products.h"

#include <array>

namespace veltrana {

namespace {

constexpr std::array kProducts{
    Product{"page", "Web page (HTML)", std::nullopt, std::nullopt},
    Product{"vcard3", "vCard 3.0", ExportFormat::kVCard, VCardVersion::k30},
    Product{"vcard4", "vCard 4.0", ExportFormat::kVCard, VCardVersion::k40},
    Product{"csv", "CSV for Outlook", ExportFormat::kCsv, std::nullopt},
};

}  // namespace

std::span<const Product> Products() {
  return kProducts;
}

const Product* ProductNamed(std::string_view id) {
  for (const Product& product : kProducts) {
    if (product.id == id) return &product;
  }
  return nullptr;
}

}  // namespace veltrana
