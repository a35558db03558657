#include "page/note_line.h"

#include <gtest/gtest.h>

#include <string>

#include "base/failure.h"

namespace veltrana {
namespace {

const std::string M(1, '\x03');  // the line-break marker

struct NoteCase {
  std::string note;
  std::string name{}, address{}, phone{}, fax{}, free_text{};
  int code = 0;  // the failure, when the note fails
};

TEST(ReadNoteLine, SplitsTagsAndFreeTextAsDocumented) {
  const NoteCase cases[] = {
      {"<name:Ann Lee><phone:555-0100>Met at the show", "Ann Lee", "", "555-0100", "",
       "Met at the show"},
      {"<address:12 Elm St" + M + "Springfield>xy", "", "12 Elm St<br>Springfield", "", "", "xy"},
      {"<address:12 Elm St" + M + ">", "", "12 Elm St", "", "", "<address:12 Elm St" + M + ">"},
      {"Call after six", "", "", "", "", "Call after six"},
      {"tagless <b> and" + M + "marker", "", "", "", "", "tagless <b> and" + M + "marker"},
      {"<name:Ann Lee>", "Ann Lee", "", "", "", "<name:Ann Lee>"},
      {"<name:Ann Lee>x", "Ann Lee", "", "", "", "<name:Ann Lee>x"},
      {"<name:Ann Lee>ok", "Ann Lee", "", "", "", "ok"},
      {"<name:Ann>a<b", "Ann", "", "", "", "a&lt;b"},
      {"<Name:Ann>rest", "", "", "", "", "<Name:Ann>rest"},
      {"<name:Ann> hi <phone:1>x y", "Ann", "", "1", "", "x y"},
      {"hi <name:Ann>more", "Ann", "", "", "", "more"},
      {"<phone:1><phone:2>zz", "", "", "1", "", "&lt;phone:2&gt;zz"},
      {"<name:Bo <fax:12>rest", "Bo <fax:12", "", "", "12", "<name:Bo <fax:12>rest"},
      {"<fax:>", "", "", "", "", "<fax:>"},
      {" <name:Ann>ok", "Ann", "", "", "", "ok"},
      {" leading blank", "", "", "", "", " leading blank"},
      {"<name:A><fax:F><address:X" + M + "Y><phone:P>free" + M + "<text>" + M, "A", "X<br>Y", "P",
       "F", "free<br>&lt;text&gt;"},
      {"<phone:<b>bold>after", "", "", "<b", "", "bold&gt;after"},
      {"", "", "", "", "", ""},
  };
  for (const NoteCase& c : cases) {
    ConverterState state = LoadedConverterState();
    state.recipientnote = "left over";
    state.noteline = c.note;
    ReadNoteLine(state);
    EXPECT_EQ(state.recipientname, c.name) << c.note;
    EXPECT_EQ(state.recipientaddress, c.address) << c.note;
    EXPECT_EQ(state.recipientphone, c.phone) << c.note;
    EXPECT_EQ(state.recipientfax, c.fax) << c.note;
    EXPECT_EQ(state.recipientnote, c.free_text) << c.note;
    EXPECT_EQ(state.proc, "Form_Load()") << "the caller's name is back";
  }
}

TEST(ReadNoteLine, FailsForAnUnclosedTagOrPositionsPast32767) {
  const NoteCase cases[] = {
      // Fields read before the failing tag keep their values.
      {"<phone:555-0100", "", "", "", "", "", 5},
      {"<fax:1><name:", "", "", "", "1", "", 5},
      {"<name:Ann> <phone:", "", "", "", "", "", 5},  // phone fails before name is read
      {std::string(32760, 'n') + "<fax:1>", "", "", "", "1", "", 6},  // ">" at 32,767: +1
      {"<fax:1>" + std::string(32761, 'n'), "", "", "", "1", "", 6},  // length 32,768
      {std::string(32768, 'n') + "<fax:1>", "", "", "", "", "", 6},
  };
  for (const NoteCase& c : cases) {
    ConverterState state = LoadedConverterState();
    state.noteline = c.note;
    try {
      ReadNoteLine(state);
      ADD_FAILURE() << "no failure for " << c.note.substr(0, 40);
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.code(), c.code) << c.note.substr(0, 40);
    }
    EXPECT_EQ(state.recipientfax, c.fax) << c.note.substr(0, 40);
    EXPECT_EQ(state.recipientname, c.name) << c.note.substr(0, 40);
    EXPECT_EQ(state.proc, "ReadNoteLine()");
  }
}

TEST(ReadNoteLine, ANoteOf32767CharactersFits) {
  ConverterState state = LoadedConverterState();
  state.noteline = "<fax:1>" + std::string(32760, 'n');
  ReadNoteLine(state);
  EXPECT_EQ(state.recipientnote, std::string(32760, 'n'));
}

}  // namespace
}  // namespace veltrana
