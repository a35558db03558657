#include "form/export_dialog.h"

#include "base/case_fold.h"

namespace veltrana {

const std::vector<ExportFileType>& ExportFileTypes() {
  static const std::vector<ExportFileType> kTypes = [] {
    std::vector<ExportFileType> types;
    for (const ExportFormatInfo& info : ExportFormats()) {
      const std::string extension(info.extension.substr(1));  // without the dot
      const std::string pattern = "*." + extension;
      types.push_back(
          {info.format, std::string(info.description) + " (" + pattern + ")", pattern, extension});
    }
    return types;
  }();
  return kTypes;
}

std::size_t ExportEndingLength(std::string_view name) {
  for (const ExportFileType& type : ExportFileTypes()) {
    const std::size_t length = type.extension.size() + 1;
    if (name.size() > length &&
        FoldedCopy(name.substr(name.size() - length)) == "." + type.extension) {
      return length;
    }
  }
  return 0;
}

}  // namespace veltrana
