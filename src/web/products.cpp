#include "web/products.h"

namespace veltrana {

const std::vector<Product>& Products() {
  static const std::vector<Product> products = [] {
    std::vector<Product> all{{"page", "Web page (HTML)", std::nullopt}};
    for (const ExportFormatInfo& info : ExportFormats()) {
      all.push_back({info.name, info.description, info.format});
    }
    return all;
  }();
  return products;
}

const Product* ProductNamed(std::string_view id) {
  for (const Product& product : Products()) {
    if (product.id == id) return &product;
  }
  return nullptr;
}

}  // namespace veltrana
