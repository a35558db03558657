#include "text/charset.h"

#include <gtest/gtest.h>

#include "text/utf8_text.h"

namespace veltrana {
namespace {

TEST(ToUtf8, EachCharacterSetAsItsOwnerDefinesIt) {
  const struct {
    Charset charset;
    std::string bytes;
    std::string utf8;
    std::size_t replaced;
  } cases[] = {
      {Charset::kWindows1252,
       "Gr\xFC\xDF"
       "e \x80 \x93q\x94",
       "Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D",
       0},
      {Charset::kWindows1252,
       "a\x81"
       "b\x8D\x8F\x90\x9D",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       5},
      // 0x80 to 0x9F of iso-8859-1 are C1 controls: no text.
      {Charset::kIso88591, "\xC9t\xE9 \x80\x9F", "\xC3\x89t\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD", 2},
      {Charset::kMacintosh, "\x8E\x87\x9A \xA5", "\xC3\xA9\xC3\xA1\xC3\xB6 \xE2\x80\xA2", 0},
      // Apple's mapping: the increment sign, the euro sign, the Apple logo.
      {Charset::kMacintosh, "\xC6\xDB\xF0", "\xE2\x88\x86\xE2\x82\xAC\xEF\xA3\xBF", 0},
      // UTF-8 that is no text: overlong, a surrogate, a C1 control.
      {Charset::kUtf8, "\xC0\xAF\xED\xA0\x80\xC2\x85",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 6},
      {Charset::kUtf8,
       "\xEF\xBB\xBF"
       "caf\xC3\xA9 \xE2\x82\xAC",
       "caf\xC3\xA9 \xE2\x82\xAC", 0},
      {Charset::kUtf8, "bad \xC3 and \xFF\xFE, cut \xE2\x82",
       "bad \xEF\xBF\xBD and \xEF\xBF\xBD\xEF\xBF\xBD, cut \xEF\xBF\xBD\xEF\xBF\xBD", 5},
      // The marker, tab and line ends stay; other controls are no text.
      {Charset::kWindows1252, std::string("a\x03\t\r\nb\0c\x1A", 9),
       "a\x03\t\r\nb\xEF\xBF\xBD"
       "c\xEF\xBF\xBD",
       2},
      {Charset::kWindows1252, "", "", 0},
  };
  for (const auto& c : cases) {
    const Utf8Text text = ToUtf8(c.bytes, c.charset);
    EXPECT_EQ(text.text, c.utf8) << CharsetName(c.charset) << " " << c.bytes;
    EXPECT_EQ(text.replaced, c.replaced) << CharsetName(c.charset) << " " << c.bytes;
  }
}

TEST(ToUtf8, EveryPrintableByteOfASingleByteSetGivesOneCharacter) {
  std::string all;
  for (int b = 0x20; b < 0x100; ++b) {
    if (b != 0x7F && (b < 0x80 || b >= 0xA0)) all += static_cast<char>(b);
  }
  for (const Charset charset : {Charset::kIso88591, Charset::kMacintosh, Charset::kWindows1252}) {
    const Utf8Text text = ToUtf8(all, charset);
    EXPECT_EQ(text.replaced, 0u) << CharsetName(charset);
    EXPECT_EQ(ToUtf8(text.text, Charset::kUtf8).text, text.text) << "valid UTF-8";
  }
  std::string mac_high;
  for (int b = 0x80; b < 0x100; ++b) mac_high += static_cast<char>(b);
  EXPECT_EQ(ToUtf8(mac_high, Charset::kMacintosh).replaced, 0u);
}

// Plain ASCII is copied a run at a time: what stands before, after and
// between the runs, and a run that ends the text, must come out whole.
TEST(ToUtf8, RunsOfAsciiMeetEveryOtherKindOfByte) {
  const std::string a1000(1000, 'a');
  const struct {
    Charset charset;
    std::string bytes;
    std::string utf8;
    std::size_t replaced;
  } cases[] = {
      {Charset::kWindows1252, "abc\xE9", "abc\xC3\xA9", 0},
      {Charset::kWindows1252, "\xE9xyz", "\xC3\xA9xyz", 0},
      {Charset::kWindows1252, "\xE9\x80\xFF", "\xC3\xA9\xE2\x82\xAC\xC3\xBF", 0},
      {Charset::kWindows1252, "ab\x81", "ab\xEF\xBF\xBD", 1},
      {Charset::kWindows1252, "\x81z", "\xEF\xBF\xBDz", 1},
      {Charset::kWindows1252, "a\x7F\x1F~", "a\xEF\xBF\xBD\xEF\xBF\xBD~", 2},
      {Charset::kWindows1252, "a\r\n\x03\tb", "a\r\n\x03\tb", 0},
      {Charset::kWindows1252, a1000 + "\xE9" + a1000, a1000 + "\xC3\xA9" + a1000, 0},
      {Charset::kMacintosh, "x\x8Ey\xDB", "x\xC3\xA9y\xE2\x82\xAC", 0},
      {Charset::kIso88591, "\x85" + a1000, "\xEF\xBF\xBD" + a1000, 1},
      {Charset::kUtf8, "ab\xC3\xA9", "ab\xC3\xA9", 0},
      {Charset::kUtf8, "\xC3\xA9z", "\xC3\xA9z", 0},
      {Charset::kUtf8, "ab\xC3", "ab\xEF\xBF\xBD", 1},                // cut at the end
      {Charset::kUtf8, "\xC3z", "\xEF\xBF\xBDz", 1},                  // cut by ASCII
      {Charset::kUtf8, "a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD", 2},  // cut, then a stray
      {Charset::kUtf8, "\x80" + a1000, "\xEF\xBF\xBD" + a1000, 1},
      {Charset::kUtf8, a1000 + "\xFF", a1000 + "\xEF\xBF\xBD", 1},
      {Charset::kUtf8,
       "a\x7F"
       "b\xC2\x85"
       "c",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD"
       "c",
       2},
      {Charset::kUtf8, "\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!", 0},
      {Charset::kUtf8, "a\r\n\x03\tb", "a\r\n\x03\tb", 0},
  };
  for (const auto& c : cases) {
    const Utf8Text text = ToUtf8(c.bytes, c.charset);
    EXPECT_EQ(text.text, c.utf8) << CharsetName(c.charset) << " " << c.bytes.substr(0, 40);
    EXPECT_EQ(text.replaced, c.replaced) << CharsetName(c.charset) << " " << c.bytes.substr(0, 40);
  }
}

// A text given up is kept as it is only when converting would not change
// it: the same text and count as a conversion of a copy, in every set.
TEST(ToUtf8, ATextGivenUpIsKeptOnlyWhenItIsUtf8AsItStands) {
  const std::string long_ascii(100, 'a');
  const std::string inputs[] = {
      "",
      "alias a a@x\r\nnote a <name:A>\x03\tb\r\n",
      long_ascii,
      long_ascii + "\xE9",
      "\xC3\xA9" + long_ascii,
      "\xEF\xBB\xBF" + long_ascii,
      long_ascii + "\x7F",
      long_ascii + "\x1F" + long_ascii,
      "\xC2\x85",
      long_ascii + "\xE2\x82",
      std::string("a\0b", 3),
  };
  for (const Charset charset :
       {Charset::kWindows1252, Charset::kIso88591, Charset::kMacintosh, Charset::kUtf8}) {
    for (const std::string& input : inputs) {
      const Utf8Text copied = ToUtf8(std::string_view(input), charset);
      std::string given = input;
      const Utf8Text kept = ToUtf8(std::move(given), charset);
      EXPECT_EQ(kept.text, copied.text) << CharsetName(charset) << " " << input.substr(0, 8);
      EXPECT_EQ(kept.replaced, copied.replaced) << CharsetName(charset) << " " << input;
    }
  }
}

// Each byte that is not printable ASCII, in every place of a text longer
// than two words, is found wherever it stands.
TEST(ToUtf8, AByteOtherThanPrintableAsciiIsFoundInEveryPlace) {
  const struct {
    Charset charset;
    std::string byte;
    std::string utf8;
    std::size_t replaced;
  } cases[] = {
      {Charset::kWindows1252, "\xE9", "\xC3\xA9", 0},
      {Charset::kWindows1252, "\x7F", "\xEF\xBF\xBD", 1},
      {Charset::kWindows1252, "\x1F", "\xEF\xBF\xBD", 1},
      {Charset::kWindows1252, "\x03", "\x03", 0},
      {Charset::kWindows1252, "\t", "\t", 0},
      {Charset::kMacintosh, "\xFF", "\xCB\x87", 0},
      {Charset::kUtf8, "\xC3\xA9", "\xC3\xA9", 0},
      {Charset::kUtf8, "\x80", "\xEF\xBF\xBD", 1},
      {Charset::kUtf8, "\x7F", "\xEF\xBF\xBD", 1},
  };
  for (const auto& c : cases) {
    for (std::size_t at = 0; at <= 20; ++at) {
      const std::string before(at, ' '), after(20 - at, '~');
      const Utf8Text text = ToUtf8(before + c.byte + after, c.charset);
      EXPECT_EQ(text.text, before + c.utf8 + after) << CharsetName(c.charset) << " at " << at;
      EXPECT_EQ(text.replaced, c.replaced) << CharsetName(c.charset) << " at " << at;
    }
  }
}

TEST(DetectCharset, Utf8ThenCrAloneThenTheWindowsCodePage) {
  const struct {
    std::string bytes;
    Charset charset;
  } cases[] = {
    {"alias a caf\xC3\xA9@x\r\n", Charset::kUtf8},
    {"\xEF\xBB\xBF"
     "alias a a@x\r\n",
     Charset::kUtf8},
    {"alias a caf\x8E@x\rnote a <name:\x8E>\r", Charset::kMacintosh},
    {"alias a a@x\r", Charset::kMacintosh},
    {"alias a caf\xC3\xA9@x\r", Charset::kUtf8},  // UTF-8 wins over CR alone
#if !defined(_WIN32)
    {"alias a caf\xE9@x\r\n", Charset::kWindows1252},
    {"alias a a@x\r\n", Charset::kWindows1252},
    {"alias a \xC3\xA9\xC3@x\r\n", Charset::kWindows1252},  // a cut sequence
    {"alias a \xE9\r\nb\r", Charset::kWindows1252},         // CR LF somewhere
    {"", Charset::kWindows1252},
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(DetectCharset(c.bytes), c.charset) << c.bytes;
}

// The bytes are looked at a word at a time: a byte above 0x7F is found in
// every place.
TEST(DetectCharset, FindsTheFirstHighByteWhereverItStands) {
  for (std::size_t at = 0; at <= 20; ++at) {
    const std::string before(at, 'a'), after(20 - at, 'z');
    EXPECT_EQ(DetectCharset(before + "\xC3\xA9" + after + "\r\n"), Charset::kUtf8) << at;
#if !defined(_WIN32)
    EXPECT_EQ(DetectCharset(before + "\xE9" + after + "\r\n"), Charset::kWindows1252) << at;
    EXPECT_EQ(DetectCharset(before + "\xC3\xA9" + after + "\xFF\r\n"), Charset::kWindows1252) << at;
#endif
  }
}

TEST(CharsetNamed, KnowsTheFourSetsByTheirUsualNames) {
  EXPECT_EQ(CharsetNamed("windows-1252"), Charset::kWindows1252);
  EXPECT_EQ(CharsetNamed("CP1252"), Charset::kWindows1252);
  EXPECT_EQ(CharsetNamed("ISO-8859-1"), Charset::kIso88591);
  EXPECT_EQ(CharsetNamed("latin1"), Charset::kIso88591);
  EXPECT_EQ(CharsetNamed("Macintosh"), Charset::kMacintosh);
  EXPECT_EQ(CharsetNamed("UTF-8"), Charset::kUtf8);
  EXPECT_FALSE(CharsetNamed("utf-16").has_value());
  EXPECT_FALSE(CharsetNamed("").has_value());
}

std::string FoldedUtf8(std::string_view text) {
  std::string folded = "room of an earlier key";
  FoldUtf8Into(text, folded);
  return folded;
}

TEST(FoldUtf8Into, FoldsAsThePageFoldsTheCodePage) {
  EXPECT_EQ(FoldedUtf8("AbC \xC3\x89\xC3\x9E\xC3\x97\xC3\x9F\xC3\x80"),
            "abc \xC3\xA9\xC3\xBE\xC3\x97\xC3\x9F\xC3\xA0");
  EXPECT_EQ(FoldedUtf8("\xC4\x80\xC3"), "\xC4\x80\xC3");  // not Latin-1; a cut sequence
}

}  // namespace
}  // namespace veltrana
