// The text stream on real files: detection, line ends, UTF-8 decoding, marks and writes,
// AppendLine, open modes, and a bounded fuzz of the reader.
#include "files/uFiles.h"
#include "support/TestFiles.h"
#include "system/uExceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using testing_support::ReadBytes;
using testing_support::TTempDir;
using testing_support::WriteBytes;

constexpr uint16_t fmReadShared = fmOpenRead | fmShareDenyNone;               // 64
constexpr uint16_t fmReadWriteDenyWrite = fmOpenReadWrite | fmShareDenyWrite; // 34

class TextStream : public ::testing::Test {
protected:
  std::u16string Name(const char16_t* AName = u"t.txt") { return fDir.Dir() + AName; }
  std::string Bytes(const char* AName = "t.txt") { return ReadBytes(fDir / AName); }
  void Put(const std::string& ABytes) { WriteBytes(fDir / "t.txt", ABytes); }
  std::unique_ptr<TTextStream> OpenRead() {
    return std::make_unique<TTextStream>(Name(), fmReadShared);
  }
  TFileEncoding Detect(const std::string& ABytes) {
    Put(ABytes);
    return OpenRead()->Encoding();
  }
  std::vector<std::u16string> Lines(const std::string& ABytes) {
    Put(ABytes);
    auto stream = OpenRead();
    std::vector<std::u16string> lines;
    std::u16string line;
    while (stream->ReadLine(line))
      lines.push_back(line);
    return lines;
  }
  std::u16string Chars(const std::string& ABytes) {
    Put(ABytes);
    auto stream = OpenRead();
    std::u16string chars;
    char16_t ch;
    while (stream->ReadChar(ch))
      chars += ch;
    return chars;
  }

  TTempDir fDir;
};

using TLines = std::vector<std::u16string>;

TEST_F(TextStream, ListFileOfHeaderAndOneLineIsNineBytes) {
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetEncoding(feUTF8);
    stream.WriteLine(u"H");
    stream.WriteLine(u"L");
  }
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF"
                     "H\r\nL\r\n");
  auto stream = OpenRead();
  EXPECT_EQ(stream->Encoding(), feUTF8);
  EXPECT_EQ(stream->Position(), 3);
  std::u16string line;
  ASSERT_TRUE(stream->ReadLine(line));
  EXPECT_EQ(line, u"H");
  ASSERT_TRUE(stream->ReadLine(line));
  EXPECT_EQ(line, u"L");
  EXPECT_FALSE(stream->ReadLine(line));
}

TEST_F(TextStream, EmptyFileHasNoEncodingUntilTheFirstWrite) {
  Put("");
  {
    auto stream = std::make_unique<TTextStream>(Name(), fmReadWriteDenyWrite);
    EXPECT_EQ(stream->Encoding(), feAuto);
    EXPECT_TRUE(stream->Eof());
    std::u16string line = u"junk";
    EXPECT_FALSE(stream->ReadLine(line));
    EXPECT_EQ(line, u"");
    stream->WriteStr(u"");
    EXPECT_EQ(stream->Encoding(), feAuto); // an empty write settles nothing
    stream->WriteStr(u"\u00E9");
    EXPECT_EQ(stream->Encoding(), feUTF8);
  }
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF\xC3\xA9");
}

TEST_F(TextStream, DetectionByMark) {
  EXPECT_EQ(Detect("A"), feANSI);
  EXPECT_EQ(Detect("\xEF\xBB\xBF"), feUTF8);
  {
    auto stream = OpenRead();
    EXPECT_EQ(stream->Position(), 3);
    EXPECT_TRUE(stream->Eof());
    std::u16string line;
    EXPECT_FALSE(stream->ReadLine(line));
  }
  EXPECT_EQ(Detect(std::string("\xFF\xFE"
                               "A\0",
                               4)),
            feUTF16);
  EXPECT_EQ(OpenRead()->Position(), 2);
  EXPECT_EQ(Lines(std::string("\xFE\xFF\0A\0\r\0\n\0B", 10)), (TLines{u"A", u"B"}));
  // FF FE in a file of odd size is no mark; the bytes are not UTF-8 and hold no zeros.
  EXPECT_EQ(Detect("\xFF\xFE"
                   "A"),
            feANSI);
  EXPECT_EQ(Chars("\xFF\xFE"
                  "A"),
            u"\u00FF\u00FE"
            u"A");
}

TEST_F(TextStream, DetectionByContent) {
  // Up to 16384 bytes of well-formed UTF-8 is UTF-8, NUL bytes and unmarked ASCII
  // UTF-16 included.
  EXPECT_EQ(Detect(std::string("a\0b\0", 4)), feUTF8);
  EXPECT_EQ(Detect("caf\xC3\xA9\r\n"), feUTF8);
  EXPECT_EQ(Detect("caf\xE9\r\n"), feANSI);
  // Bytes of 0x80 and above at the very end are left out of the test.
  EXPECT_EQ(Detect("caf\xE9"), feUTF8);

  std::string text(16384 - 2, 'a');
  text += "\xC3\xA9";
  EXPECT_EQ(Detect(text), feUTF8);
  EXPECT_EQ(Detect(text + "a"), feANSI); // one byte longer: no UTF-8 test
}

TEST_F(TextStream, DetectionByZeroCounts) {
  auto withZeros = [](int AOdd, int AEven) {
    std::string s(20000, 'a');
    for (int i = 0; i < AOdd; ++i)
      s[size_t(2 * i + 101)] = '\0';
    for (int i = 0; i < AEven; ++i)
      s[size_t(2 * i + 1000)] = '\0';
    return s;
  };
  EXPECT_EQ(Detect(withZeros(31, 0)), feUTF16);
  EXPECT_FALSE(OpenRead()->BigEndian());
  EXPECT_EQ(OpenRead()->Position(), 0);
  EXPECT_EQ(Detect(withZeros(30, 0)), feANSI);
  EXPECT_EQ(Detect(withZeros(31, 1)), feANSI);
  EXPECT_EQ(Detect(withZeros(0, 31)), feUTF16);
  EXPECT_TRUE(OpenRead()->BigEndian());
  EXPECT_EQ(Detect(withZeros(0, 30)), feANSI);
}

TEST_F(TextStream, LineEnds) {
  EXPECT_EQ(Lines("x\r\ny"), (TLines{u"x", u"y"}));
  EXPECT_EQ(Lines("x\n\ny"), (TLines{u"x", u"", u"y"}));
  EXPECT_EQ(Lines("x\r\ry"), (TLines{u"x", u"", u"y"}));
  EXPECT_EQ(Lines("x\n\ry"), (TLines{u"x", u"", u"y"}));
  EXPECT_EQ(Lines("x\r"), (TLines{u"x"}));
  EXPECT_EQ(Lines("x\r\n"), (TLines{u"x"}));
  EXPECT_EQ(Lines("\xEF\xBB\xBF\r\n\r\n"), (TLines{u"", u""}));
  // UTF-16: going back after a CR restores the exact byte position.
  EXPECT_EQ(Lines(std::string("\xFF\xFEx\0\r\0y\0", 8)), (TLines{u"x", u"y"}));
}

TEST_F(TextStream, Utf8Decoding) {
  const std::string mark = "\xEF\xBB\xBF";
  EXPECT_EQ(Chars(mark + "\xE2\x82\xAC"), u"\u20AC");
  EXPECT_EQ(Chars(mark + std::string("\xC0\x80", 2)), std::u16string(1, u'\0'));
  EXPECT_EQ(Chars(mark + "\x80"), u"\u0080");
  EXPECT_EQ(Chars(mark + "\xC3\x41"), u"\u0003A");
  EXPECT_EQ(Chars(mark + "\xFE\xFF"), u"\u00FE\u00FF");
  EXPECT_EQ(Chars(mark + "\xE2\x82"), u"\u0082"); // cut short by the end
  // Above U+FFFF: a surrogate pair, high unit first.
  EXPECT_EQ(Chars(mark + "\xF0\x9F\x98\x80"
                         "a"),
            u"\U0001F600a");
  EXPECT_EQ(Chars(mark + "\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
  // Beyond U+10FFFF, also in the five- and six-byte forms: U+FFFD.
  EXPECT_EQ(Chars(mark + "\xF4\x90\x80\x80"), u"\uFFFD");
  EXPECT_EQ(Chars(mark + "\xF8\x88\x80\x80\x80"
                         "b"),
            u"\uFFFDb");
  EXPECT_EQ(Chars(mark + "\xFD\xBF\xBF\xBF\xBF\xBF"), u"\uFFFD");
  // A character above U+FFFF right after a CR is read again whole on the next line.
  EXPECT_EQ(Lines(mark + "x\r\xF0\x9F\x98\x80\r\n"), (TLines{u"x", u"\U0001F600"}));
}

TEST_F(TextStream, OddByteAtTheEndOfUtf16) {
  Put(std::string("x\0\n\0A", 5));
  {
    auto stream = OpenRead();
    EXPECT_EQ(stream->Encoding(), feUTF8);
    stream->SetEncoding(feUTF16); // at position 0 of data: no mark, only the encoding
    std::u16string line;
    ASSERT_TRUE(stream->ReadLine(line));
    EXPECT_EQ(line, u"x");
    ASSERT_TRUE(stream->ReadLine(line));
    EXPECT_EQ(line, u"");
    EXPECT_FALSE(stream->ReadLine(line));
  }
  EXPECT_EQ(Bytes(), std::string("x\0\n\0A", 5));
}

TEST_F(TextStream, SettingTheEncodingOfDataKeepsTheData) {
  Put("abc");
  {
    TTextStream stream(Name(), fmReadWriteDenyWrite);
    stream.SetEncoding(feUTF8);
    EXPECT_EQ(stream.Encoding(), feUTF8);
    EXPECT_EQ(stream.Position(), 0);
  }
  EXPECT_EQ(Bytes(), "abc");
}

TEST_F(TextStream, MarksAndEncodingsOfWrites) {
  {
    TTextStream stream(Name(), fmCreate);
    stream.WriteLine(u"");
  }
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF\r\n");
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetEncoding(feUTF16);
    stream.SetEncoding(feUTF16); // no second mark
    stream.WriteStr(u"A\u20AC");
  }
  EXPECT_EQ(Bytes(), std::string("\xFF\xFE"
                                 "A\0\xAC\x20",
                                 6));
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetDefaultEncoding(feAuto);
    stream.WriteStr(u"\u00E9");
    EXPECT_EQ(stream.Encoding(), feAuto);
    stream.WriteStr(u"!");
  }
  EXPECT_EQ(Bytes(), "\xC3\xA9!");
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetEncoding(feANSI);
    stream.WriteStr(u"\u00E9\u20AC\u4E2D");
  }
  EXPECT_EQ(Bytes(), "\xE9\x80?");
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetEncoding(feOEM);
    stream.WriteLine(u"\u00E9\u4E2D");
  }
  EXPECT_EQ(Bytes(), "\x82?\r\n");
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetLineSeparator(u"\n");
    stream.WriteLine(u"a\rb");
  }
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF"
                     "a\rb\n");
}

TEST_F(TextStream, InvalidEncodingWritesNothing) {
  {
    TTextStream stream(Name(), fmCreate);
    stream.SetEncoding(TFileEncoding(7));
    try {
      stream.WriteStr(u"a");
      FAIL() << "no exception";
    } catch (const EWriteError& e) {
      EXPECT_STREQ(e.what(), "Invalid encoding");
    }
  }
  EXPECT_EQ(Bytes(), "");
}

TEST_F(TextStream, AppendLine) {
  TTextStream::AppendLine(Name(u"new.txt"), u"one", feAuto);
  EXPECT_EQ(Bytes("new.txt"), "\xEF\xBB\xBF"
                              "one\r\n");
  TTextStream::AppendLine(Name(u"new.txt"), u"two", feUTF16); // content keeps its encoding
  EXPECT_EQ(Bytes("new.txt"), "\xEF\xBB\xBF"
                              "one\r\ntwo\r\n");

  WriteBytes(fDir / "empty.txt", "");
  TTextStream::AppendLine(Name(u"empty.txt"), u"x", feAuto);
  EXPECT_EQ(Bytes("empty.txt"), "\xEF\xBB\xBF"
                                "x\r\n");

  WriteBytes(fDir / "ansi.txt", "caf\xE9\r\n");
  TTextStream::AppendLine(Name(u"ansi.txt"), u"\u00E9t\u00E9", feAuto);
  EXPECT_EQ(Bytes("ansi.txt"), "caf\xE9\r\n\xE9t\xE9\r\n");

  TTextStream::AppendLine(Name(u"wide.txt"), u"w", feUTF16);
  EXPECT_EQ(Bytes("wide.txt"), std::string("\xFF\xFEw\0\r\0\n\0", 8));

  // A big-endian file goes on in its own byte order.
  WriteBytes(fDir / "be.txt", std::string("\xFE\xFF\0A\0\r\0\n", 8));
  TTextStream::AppendLine(Name(u"be.txt"), u"B", feAuto);
  EXPECT_EQ(Bytes("be.txt"), std::string("\xFE\xFF\0A\0\r\0\n\0B\0\r\0\n", 14));

  EXPECT_THROW(TTextStream::AppendLine(fDir.Dir() + u"no/such/dir.txt", u"x", feAuto), EFOpenError);
}

TEST_F(TextStream, OpenModes) {
  EXPECT_THROW(TTextStream(Name(u"missing.txt"), fmReadShared), EFOpenError);
  EXPECT_THROW(TTextStream(Name(u"missing.txt"), fmReadWriteDenyWrite), EFOpenError);
  Put("old content");
  {
    TTextStream writer(Name(), fmCreate);
    EXPECT_EQ(writer.Size(), 0);                                  // emptied
    EXPECT_THROW(TTextStream(Name(), fmReadShared), EFOpenError); // no sharing
    writer.WriteLine(u"new");
  }
  {
    TTextStream appender(Name(), fmReadWriteDenyWrite);
    TTextStream reader(Name(), fmReadShared);                             // others may read
    EXPECT_THROW(TTextStream(Name(), fmReadWriteDenyWrite), EFOpenError); // but not write
    std::u16string line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, u"new");
  }
  {
    TTextStream reader(Name(), fmReadShared);
    TTextStream writer(Name(), fmReadWriteDenyWrite); // a reader lets others write
  }
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF"
                     "new\r\n");
}

TEST_F(TextStream, HandleStaysTheCallers) {
  Put("\xEF\xBB\xBF"
      "abc\r\n");
  win::HANDLE handle = win::CreateFileW(Name().c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                                        nullptr, win::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, win::InvalidHandleValue());
  {
    TTextStream stream(reinterpret_cast<uintptr_t>(handle));
    std::u16string line;
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, u"abc");
  }
  EXPECT_TRUE(win::CloseHandle(handle)); // still open after the stream went
}

TEST_F(TextStream, PositionsBeyondTheSigned32BitRangeRaise) {
  Put("abc");
  TTextStream stream(Name(), fmReadWriteDenyWrite);
  EXPECT_THROW(stream.SetPosition(int64_t(1) << 31), ERangeError);
  EXPECT_THROW(stream.SetSize(int64_t(0x7FFFFFFF) + 1), ERangeError);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.Size(), 3);
}

// Any bytes at all read as text give lines and end.
TEST_F(TextStream, FuzzedBytesAlwaysYieldLines) {
  std::mt19937 random(20240607);
  const uint8_t alphabet[] = {'a',  ' ',  '"',  '\r', '\n', 0x00, 0x80, 0xBF, 0xC0, 0xC3,
                              0xE2, 0xED, 0xF0, 0xF4, 0xF8, 0xFC, 0xFE, 0xFF, 0xEF, 0xBB};
  const char* prefixes[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
  for (int round = 0; round < 400; ++round) {
    std::string bytes = prefixes[random() % 4];
    const size_t length = random() % 200;
    for (size_t i = 0; i < length; ++i)
      bytes += char(random() % 3 == 0 ? random() % 256 : alphabet[random() % sizeof(alphabet)]);
    Put(bytes);
    auto stream = OpenRead();
    std::u16string line;
    size_t lines = 0;
    while (stream->ReadLine(line)) {
      ASSERT_LE(++lines, bytes.size()) << "round " << round;
      ASSERT_LE(line.size(), bytes.size());
    }
    EXPECT_TRUE(stream->Eof());
  }
}

} // namespace
