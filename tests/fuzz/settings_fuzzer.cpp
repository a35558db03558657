// Any bytes as the settings file, through the load step's settings read and
// a rewrite. The history holds at most 15 distinct paths, every one the
// value of an accepted line; the current address book is the last accepted
// value; the rewritten file reads back to the same current address book and
// the history the window would show after a restart.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "form/settings_procedures.h"
#include "settings/settings_history.h"
#include "support/fuzz_property.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"

namespace {

using namespace veltrana;
using test::Check;
using test::Fail;

// The accepted values, found independently of the program's line reader.
std::vector<std::string> AcceptedValues(const std::string& content) {
  std::vector<std::string> values;
  std::string line;
  const auto end_line = [&] {
    if (line.size() >= 13 && line.compare(0, 12, "AddressBook=") == 0)
      values.push_back(line.substr(12));
    line.clear();
  };
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' || content[i] == '\n') {
      end_line();
      if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    } else {
      line += content[i];
    }
  }
  end_line();
  return values;
}

std::vector<std::string> FirstDistinct(const std::vector<std::string>& values) {
  std::vector<std::string> distinct;
  for (const std::string& value : values) {
    if (distinct.size() == AddressBookHistory::kMaxEntries) break;
    bool seen = false;
    for (const std::string& kept : distinct) seen = seen || kept == value;
    if (!seen) distinct.push_back(value);
  }
  return distinct;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const test::TempDir folder;
  const std::string content(reinterpret_cast<const char*>(data), size);
  test::WriteBytes(folder.File("veltra.ini"), content);
  const SettingsLocation location{folder.path(), false};

  ConverterState state = LoadedConverterState();
  SettingsHistory settings(location);
  const AddressBookHistory& history = settings.history();
  test::RecordingWindow window;
  Check(LoadSettings(state, settings, window) == SettingsLoad::kRead, "the file is read");
  Check(window.messages.empty(), "no report");
  const std::vector<std::string> values = AcceptedValues(content);
  Check(history.entries() == FirstDistinct(values), "the history is the first 15 distinct values");
  Check(state.addressbook == (values.empty() ? std::string(kDefaultAddressBook) : values.back()),
        "the current address book is the last accepted value");

  WriteINIFile(state, settings);
  std::vector<std::string> written;
  for (const std::string& entry : history.entries()) {
    if (entry != state.addressbook) written.push_back(entry);
  }
  written.push_back(state.addressbook);
  std::string expected_file;
  for (const std::string& line : written) expected_file += "AddressBook=" + line + "\r\n";
  Check(test::ReadBytes(folder.File("veltra.ini")) == expected_file, "the file as written");

  ConverterState restarted = LoadedConverterState();
  SettingsHistory reread(location);
  Check(LoadSettings(restarted, reread, window) == SettingsLoad::kRead, "re-read");
  Check(restarted.addressbook == state.addressbook, "the current address book survives a restart");
  Check(reread.history().entries() == FirstDistinct(written), "the history after a restart");
  return 0;
}
