// Where an export's bytes go: a file, a buffer, a browser's download. The
// writers hand over one card, row or entry at a time.
#pragma once

#include <functional>
#include <string_view>

namespace veltrana {

using ExportSink = std::function<void(std::string_view)>;

}  // namespace veltrana
