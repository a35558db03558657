// What a run shows when it cannot take the address book at all: no name
// given, no file of that name, or a target that is the book itself. The
// page run and the export show the same.
#pragma once

#include <string>
#include <string_view>

#include "conversion/run_front.h"

namespace veltrana {

inline constexpr const char* kInvalidNameStatus = "Invalid Address Book filename";

// "Must enter name of Address Book file to convert"; Convert and Browse
// enabled again.
void ReportEmptyName(const RunFront& front);

// "Specified Address Book does not exist." and the name; the field's text
// selected and the focus on Browse.
void ReportMissingBook(const RunFront& front, const std::string& addressbook);

// "The `what` would overwrite the address book itself." and the name, where
// `what` is "page" or "export"; Convert and Browse enabled again.
void ReportWouldOverwrite(const RunFront& front, std::string_view what,
                          const std::string& addressbook);

}  // namespace veltrana
