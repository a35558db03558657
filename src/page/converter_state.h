// The converter state: the values through which the operations of the main
// window pass data to each other. The window owns it for as long as it lives.
#pragma once

#include <string>
#include <string_view>

#include "base/text_positions.h"

namespace veltrana {

// The address book preset at every start, before the settings are read.
inline constexpr const char* kDefaultAddressBook = "c:\\eudora\\nndbase.txt";

// The written form of one address, as ExtractEmailAddress classes it; the
// numbers are those the classes have always had.
enum class AddressForm : Int16 {
  kNone = 0,                // no address form: Ann
  kNameThenAngle = 1,       // Ann Lee <ann@host>
  kQuotedNameFirst = 2,     // "Ann Lee" <ann@host>
  kAddressThenComment = 3,  // ann@host (Ann Lee)
  kAngleThenComment = 4,    // <ann@host> (Ann Lee)
  kBareAddress = 5,         // ann@host
  kAngleAlone = 6,          // <ann@host>
};

// Fields in declaration order. Strings start empty and integers at 0 until
// the load step sets them (SetConverterDefaults, then SetPageTitleDefault).
// `proc` only ever names an operation: it views the operation's name, a
// text that lives as long as the program.
struct ConverterState {
  std::string a;                                // the current line of the nickname file
  std::string noteline;                         // note text of the current entry
  std::string addressbook;                      // path of the address book to convert
  Int16 ctr = 0;                                // rows written in the current run
  std::string nickname;                         // nickname of the alias line last examined
  std::string quote;                            // the double quote of the file format and the page
  std::string br;                               // the page's line break, "<br>"
  std::string_view proc;                        // operation that ran last, for the error report
  std::string eudbreak;                         // line-break marker inside file values (code 3)
  std::string inifile;                          // settings file name in the program's directory
  AddressForm addrformat = AddressForm::kNone;  // written form of the current address
  std::string pagetitle;                        // title and heading of the page
  std::string emailaddress;      // address text of the current entry, then its page form
  std::string recipientname;     // from the note line
  std::string recipientaddress;  // from the note line, markers as "<br>"
  std::string recipientphone;    // from the note line
  std::string recipientfax;      // from the note line
  std::string recipientnote;     // free text of the note line, safe for the page
};

// The defaults of the load step, in its order: quote, br, eudbreak, inifile,
// then addressbook (before the settings file may replace it).
void SetConverterDefaults(ConverterState& state);

// The load step's last action: the page title.
void SetPageTitleDefault(ConverterState& state);

// A state as the window has it after a load step without a settings file.
ConverterState LoadedConverterState();

}  // namespace veltrana
