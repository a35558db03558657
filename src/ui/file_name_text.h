// The window shows text and file names as characters, while the program and
// the system keep them as bytes. File names on this system are bytes: most
// are UTF-8, but names that came from old Windows folders are often Latin-1
// ("caf\xE9.txt"). Both show, and both can be typed.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace veltrana {

// Every valid UTF-8 sequence as its character, every other byte as the
// Latin-1 character of that value: nothing is lost or hidden.
[[nodiscard]] QString ShowBytes(std::string_view bytes);

// The file name that the field's text means. Each folder and file name in
// it is taken as UTF-8 when the system has such an entry, else as Latin-1
// when it has that one, else as UTF-8.
[[nodiscard]] std::string FileNameBytes(const QString& text);

}  // namespace veltrana
