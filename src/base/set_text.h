// Setting a string field to a view of text, as every row does for a dozen
// fields: the field's storage is reused, and a view into the field itself
// is allowed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace veltrana {

inline void SetText(std::string& to, std::string_view from) {
  const std::less<const char*> before;
  const char* begin = to.data();
  if (!before(from.data(), begin) && !before(begin + to.size(), from.data())) {
    to.assign(from);  // a view into `to` itself
    return;
  }
  to.clear();
  to.append(from);
}

}  // namespace veltrana
