// The page of today's own style and script, inline in every page and
// allowed there by their hashes (html_writer.h). Kept apart from the writer
// so that they read as the CSS and JavaScript they are.
#pragma once

#include <string_view>

namespace veltrana {

// The style: the entries as cards in as many columns as fit, one at a
// phone's width; light or dark as the system is set; print compact, without
// the controls, no entry split across pages, links' addresses shown.
extern const std::string_view kHtmlPageStyle;

// The script: the search box shown and kept, narrowing the entries as one
// types and saying how many are shown. The page is whole without it.
extern const std::string_view kHtmlPageScript;

}  // namespace veltrana
