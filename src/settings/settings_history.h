// The address-book history and where it lives: the settings file it is
// read from at the window's start and rewritten to after a conversion.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "settings/address_book_history.h"
#include "settings/settings_file.h"

namespace veltrana {

class SettingsHistory {
 public:
  explicit SettingsHistory(SettingsLocation location) : location_(std::move(location)) {}

  // The settings read (ReadSettingsFile): the current address book, if the
  // file names one.
  [[nodiscard]] std::optional<std::string> Read() { return ReadSettingsFile(history_, location_); }
  void UpdateAddressBookList(std::string path) { history_.UpdateAddressBookList(std::move(path)); }
  // The rewrite (WriteSettingsFile), `addressbook` last.
  void Write(std::string_view addressbook) const {
    WriteSettingsFile(history_, addressbook, location_);
  }

  const AddressBookHistory& history() const { return history_; }
  const SettingsLocation& location() const { return location_; }

 private:
  AddressBookHistory history_;
  SettingsLocation location_;
};

}  // namespace veltrana
