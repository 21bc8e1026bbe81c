// The buffered stream's window over an inner stream that counts what reaches it.
#include "files/uFiles.h"
#include "system/uExceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// An in-memory inner stream that behaves like a file (writing past the end fills the
// gap with zeros) and counts its reads and writes.
class TCountingStream : public TStream {
public:
  explicit TCountingStream(std::string AData = {}) : Data(std::move(AData)) {}

  using TStream::Seek;
  using TStream::SetSize;
  void SetSize(int32_t ANewSize) override {
    Data.resize(size_t(ANewSize));
    Position = ANewSize;
  }
  int32_t Read(void* ABuffer, int32_t ACount) override {
    ++Reads;
    if (Position >= int64_t(Data.size())) return 0;
    const int32_t n = int32_t(std::min<int64_t>(ACount, int64_t(Data.size()) - Position));
    std::memcpy(ABuffer, Data.data() + Position, size_t(n));
    Position += n;
    return n;
  }
  int32_t Write(const void* ABuffer, int32_t ACount) override {
    ++Writes;
    LastWriteCount = ACount;
    if (Position + ACount > int64_t(Data.size())) Data.resize(size_t(Position + ACount));
    std::memcpy(Data.data() + Position, ABuffer, size_t(ACount));
    Position += ACount;
    return ACount;
  }
  int32_t Seek(int32_t AOffset, uint16_t AOrigin) override {
    if (AOrigin == soBeginning) Position = AOffset;
    if (AOrigin == soCurrent) Position += AOffset;
    if (AOrigin == soEnd) Position = int64_t(Data.size()) + AOffset;
    return int32_t(Position);
  }

  std::string Data;
  int64_t Position = 0;
  int Reads = 0;
  int Writes = 0;
  int32_t LastWriteCount = 0;
};

constexpr int32_t BufferSize = 16;

std::string Digits(size_t ALength) {
  std::string s;
  for (size_t i = 0; i < ALength; ++i)
    s += char('0' + i % 10);
  return s;
}

TEST(BufferedStream, CountsOfZeroOrLessDoNothing) {
  TCountingStream inner(Digits(40));
  TBufferedStream stream(&inner, BufferSize, false);
  char c;
  EXPECT_EQ(stream.Read(&c, 0), 0);
  EXPECT_EQ(stream.Read(&c, -1), 0);
  EXPECT_EQ(stream.Write("x", 0), 0);
  EXPECT_EQ(stream.Write("x", -3), 0);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(inner.Reads + inner.Writes, 0);
}

TEST(BufferedStream, ReadOfBufferSizeGoesThroughTheBufferOneMoreBypasses) {
  TCountingStream inner(Digits(100));
  TBufferedStream stream(&inner, BufferSize, false);
  char buffer[64];
  EXPECT_EQ(stream.Read(buffer, BufferSize), BufferSize);
  EXPECT_EQ(inner.Reads, 1);
  // Stepping back one byte, as the text stream does, is served from the window.
  stream.Seek(int32_t(-1), soCurrent);
  EXPECT_EQ(stream.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '5');
  EXPECT_EQ(inner.Reads, 1);

  TCountingStream inner2(Digits(100));
  TBufferedStream direct(&inner2, BufferSize, false);
  EXPECT_EQ(direct.Read(buffer, BufferSize + 1), BufferSize + 1);
  EXPECT_EQ(std::string(buffer, BufferSize + 1), Digits(BufferSize + 1));
  EXPECT_EQ(inner2.Reads, 1);
  // Nothing was kept: going back one byte asks the inner stream again.
  direct.Seek(int32_t(-1), soCurrent);
  EXPECT_EQ(direct.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '6');
  EXPECT_EQ(inner2.Reads, 2);
}

TEST(BufferedStream, ReadsAcrossTheWindowAndAtTheEnd) {
  TCountingStream inner(Digits(20));
  TBufferedStream stream(&inner, BufferSize, false);
  char buffer[32];
  EXPECT_EQ(stream.Read(buffer, 10), 10);
  EXPECT_EQ(stream.Read(buffer, 10), 10); // six from the window, four from a refill
  EXPECT_EQ(std::string(buffer, 10), "0123456789");
  EXPECT_EQ(inner.Reads, 2);
  EXPECT_EQ(stream.Read(buffer, 5), 0);
  stream.SetPosition(1000);
  EXPECT_EQ(stream.Read(buffer, 5), 0);
}

TEST(BufferedStream, WritesStayInTheBufferUntilFlushed) {
  TCountingStream inner;
  {
    TBufferedStream stream(&inner, BufferSize, false);
    const std::string data = Digits(BufferSize);
    EXPECT_EQ(stream.Write(data.data(), BufferSize), BufferSize);
    EXPECT_EQ(inner.Data, "");
    // The inner size counts, not the bytes waiting in the buffer.
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Seek(int32_t(0), soEnd), 0);
    stream.Seek(int32_t(BufferSize), soBeginning);
    stream.Flush();
    EXPECT_EQ(inner.Data, data);
    EXPECT_EQ(stream.Size(), BufferSize);
    stream.WriteBuffer("ab", 2);
    EXPECT_EQ(inner.Data.size(), size_t(BufferSize));
  }
  // The destructor flushes.
  EXPECT_EQ(inner.Data, Digits(BufferSize) + "ab");
}

TEST(BufferedStream, WriteIntoAReadWindowFlushesTheWholeWindow) {
  TCountingStream inner(Digits(40));
  TBufferedStream stream(&inner, BufferSize, false);
  char buffer[4];
  stream.Read(buffer, 4);
  stream.Seek(int32_t(2), soBeginning);
  stream.Write("AB", 2);
  EXPECT_EQ(inner.Writes, 0);
  stream.Flush();
  EXPECT_EQ(inner.Writes, 1);
  EXPECT_EQ(inner.LastWriteCount, BufferSize);
  EXPECT_EQ(inner.Data, "01AB" + Digits(40).substr(4));
  stream.Flush(); // clean: costs nothing
  EXPECT_EQ(inner.Writes, 1);
}

TEST(BufferedStream, LeavingADirtyWindowFlushesIt) {
  TCountingStream inner(Digits(40));
  TBufferedStream stream(&inner, BufferSize, false);
  stream.Write("xy", 2);
  stream.Seek(int32_t(30), soBeginning);
  char c;
  EXPECT_EQ(stream.Read(&c, 1), 1);
  EXPECT_EQ(c, '0');
  EXPECT_EQ(inner.Data.substr(0, 4), "xy23");
}

TEST(BufferedStream, WriteBeyondTheFilledPartChangesNoOtherByte) {
  const std::string original = Digits(20);
  TCountingStream inner(original);
  {
    TBufferedStream stream(&inner, BufferSize, false);
    stream.Write("xy", 2);                // window [0, 2), dirty
    stream.Seek(int32_t(5), soBeginning); // past the fill, inside the capacity
    stream.Write("Z", 1);
    stream.SetPosition(9); // empty-window case after SetSize below
  }
  EXPECT_EQ(inner.Data, "xy234Z" + original.substr(6));

  TCountingStream inner2(original);
  {
    TBufferedStream stream(&inner2, BufferSize, false);
    stream.SetSize(int32_t(20)); // empties the window at offset 0, position 20
    stream.Seek(int32_t(7), soBeginning);
    stream.Write("Q", 1);
  }
  EXPECT_EQ(inner2.Data, original.substr(0, 7) + "Q" + original.substr(8));
}

TEST(BufferedStream, LargeWritesOutsideTheWindowGoStraightThrough) {
  TCountingStream inner(Digits(40));
  TBufferedStream stream(&inner, BufferSize, false);
  char c;
  stream.SetPosition(30);
  stream.Read(&c, 1); // window [30, 40)
  stream.SetPosition(0);
  const std::string data(BufferSize + 1, 'w');
  EXPECT_EQ(stream.Write(data.data(), int32_t(data.size())), int32_t(data.size()));
  EXPECT_EQ(inner.Writes, 1);
  EXPECT_EQ(inner.LastWriteCount, BufferSize + 1);
  EXPECT_EQ(inner.Data, data + Digits(40).substr(BufferSize + 1));
  EXPECT_EQ(stream.Position(), BufferSize + 1);
}

TEST(BufferedStream, SeekOriginsAndSetSize) {
  TCountingStream inner(Digits(40));
  TBufferedStream stream(&inner, BufferSize, false);
  EXPECT_EQ(stream.Seek(int32_t(10), soBeginning), 10);
  EXPECT_EQ(stream.Seek(int32_t(-3), soCurrent), 7);
  EXPECT_EQ(stream.Seek(int32_t(-5), soEnd), 35);
  EXPECT_EQ(stream.Seek(int32_t(99), 3), 35); // unknown origin: stays
  EXPECT_EQ(inner.Reads + inner.Writes, 0);   // moving touches nothing
  stream.SetSize(int32_t(12));
  EXPECT_EQ(inner.Data, Digits(12));
  EXPECT_EQ(stream.Position(), 12);
}

TEST(BufferedStream, OffsetsBeyondTheSigned32BitRangeRaise) {
  TCountingStream inner(Digits(10));
  TBufferedStream stream(&inner, BufferSize, false);
  stream.SetPosition(5);
  EXPECT_THROW(stream.SetPosition(int64_t(1) << 31), ERangeError);
  EXPECT_THROW(stream.Seek(-(int64_t(1) << 31) - 1, soBeginning), ERangeError);
  EXPECT_THROW(stream.SetSize(int64_t(1) << 31), ERangeError);
  EXPECT_EQ(stream.Position(), 5);
  // A relative move that would leave the range raises too, instead of wrapping round.
  EXPECT_THROW(stream.Seek(int32_t(0x7FFFFFFF), soCurrent), ERangeError);
  EXPECT_EQ(stream.Position(), 5);
  EXPECT_EQ(stream.Seek(int64_t(0x7FFFFFFF), soBeginning), 0x7FFFFFFF);
  EXPECT_EQ(inner.Data, Digits(10));
}

TEST(BufferedStream, OwnedInnerStreamIsFreedAfterTheFlush) {
  auto* inner = new TCountingStream;
  auto* stream = new TBufferedStream(inner, BufferSize, true);
  stream->WriteBuffer("abc", 3);
  delete stream; // ASan reports a leak or a use after free if this goes wrong
}

} // namespace
