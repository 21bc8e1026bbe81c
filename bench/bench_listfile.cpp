// Writes a list file of 100,000 entries through TTextStream and reads it back, and reads
// the same file with a plain baseline (std::ifstream, std::getline and a UTF-8 to UTF-16
// decode). Prints both and the ratio of the two reads.
#include "files/uFiles.h"
#include "list/uListFormat.h"
#include "system/uPosixPath.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Entries = 100000;
uintmax_t ListBytes = 0;

std::filesystem::path ListPath() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("quorvane-bench-" + std::to_string(::getpid()) + ".txt");
  return path;
}

std::u16string ListName() {
  return posix::BytesToPath(ListPath().string());
}

std::vector<std::u16string> Names() {
  std::vector<std::u16string> names;
  names.reserve(Entries);
  for (int i = 0; i < Entries; ++i) {
    std::u16string number = posix::BytesToPath(std::to_string(1000000 + i));
    // Mostly Latin, every tenth Cyrillic, every hundredth CJK, as file names are.
    if (i % 100 == 0)
      names.push_back(u"\u6587\u4EF6_" + number + u"_\u8D44\u6599.txt");
    else if (i % 10 == 0)
      names.push_back(u"\u0444\u0430\u0439\u043B_" + number +
                      u"_\u043E\u0442\u0447\u0451\u0442.txt");
    else
      names.push_back(u"photo_" + number + u"_final.jpg");
  }
  return names;
}

void WriteList() {
  static const std::vector<std::u16string> names = Names();
  int32_t width = 0;
  for (const auto& n : names)
    width = std::max(width, int32_t(n.size() + 2));
  TTextStream stream(ListName(), fmCreate);
  stream.SetEncoding(feUTF8);
  stream.WriteLine(u"Rename the files of /home/user/pictures/");
  for (const auto& n : names)
    stream.WriteLine(FormatListLine(QuoteFileName(n), width));
  stream.Flush();
  ListBytes = uintmax_t(stream.Size());
}

void BM_WriteTextStream(benchmark::State& AState) {
  for (auto _ : AState)
    WriteList();
  AState.SetBytesProcessed(int64_t(AState.iterations()) *
                           int64_t(std::filesystem::file_size(ListPath())));
}

void BM_ReadTextStream(benchmark::State& AState) {
  WriteList();
  size_t units = 0;
  for (auto _ : AState) {
    TTextStream stream(ListName(), fmOpenRead | fmShareDenyNone);
    std::u16string line;
    int lines = 0;
    while (stream.ReadLine(line)) {
      units += line.size();
      ++lines;
    }
    if (lines != Entries + 1) AState.SkipWithError("wrong number of lines");
  }
  benchmark::DoNotOptimize(units);
  AState.SetBytesProcessed(int64_t(AState.iterations()) *
                           int64_t(std::filesystem::file_size(ListPath())));
}

// The baseline: what a plain reader of a UTF-8 file with CR LF line ends does.
void DecodeUtf8(const std::string& ABytes, std::u16string& AOut) {
  AOut.clear();
  size_t i = 0;
  const size_t n = ABytes.size();
  while (i < n) {
    const unsigned char b = ABytes[i];
    uint32_t c;
    if (b < 0x80) {
      c = b, i += 1;
    } else if (b < 0xE0 && i + 1 < n) {
      c = ((b & 0x1F) << 6) | (ABytes[i + 1] & 0x3F), i += 2;
    } else if (b < 0xF0 && i + 2 < n) {
      c = ((b & 0x0F) << 12) | ((ABytes[i + 1] & 0x3F) << 6) | (ABytes[i + 2] & 0x3F), i += 3;
    } else if (i + 3 < n) {
      c = ((b & 0x07) << 18) | ((ABytes[i + 1] & 0x3F) << 12) | ((ABytes[i + 2] & 0x3F) << 6) |
          (ABytes[i + 3] & 0x3F);
      i += 4;
    } else {
      c = 0xFFFD, i += 1;
    }
    if (c >= 0x10000) {
      AOut += char16_t(0xD800 + ((c - 0x10000) >> 10));
      AOut += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      AOut += char16_t(c);
    }
  }
}

void BM_ReadBaseline(benchmark::State& AState) {
  WriteList();
  size_t units = 0;
  for (auto _ : AState) {
    std::ifstream in(ListPath(), std::ios::binary);
    std::string bytes;
    std::u16string line;
    int lines = 0;
    while (std::getline(in, bytes)) {
      if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
      if (lines == 0 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
      DecodeUtf8(bytes, line);
      units += line.size();
      ++lines;
    }
    if (lines != Entries + 1) AState.SkipWithError("wrong number of lines");
  }
  benchmark::DoNotOptimize(units);
  AState.SetBytesProcessed(int64_t(AState.iterations()) *
                           int64_t(std::filesystem::file_size(ListPath())));
}

BENCHMARK(BM_WriteTextStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextStream)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBaseline)->Unit(benchmark::kMillisecond);

// Remembers the time of each benchmark, to print the ratio at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  TRatioReporter() : ConsoleReporter(::isatty(1) ? OO_Defaults : OO_None) {}
  void ReportRuns(const std::vector<Run>& ARuns) override {
    for (const Run& run : ARuns)
      if (run.run_type == Run::RT_Iteration) {
        Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        CpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    ConsoleReporter::ReportRuns(ARuns);
  }
  std::map<std::string, double> Times;
  std::map<std::string, double> CpuTimes;
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::error_code ec;
  std::filesystem::remove(ListPath(), ec);
  const auto text = reporter.Times.find("BM_ReadTextStream");
  const auto base = reporter.Times.find("BM_ReadBaseline");
  if (text != reporter.Times.end() && base != reporter.Times.end() && base->second > 0) {
    std::printf("list file: %d entries, %.2f MB\n", Entries, double(ListBytes) / 1e6);
    const double textCpu = reporter.CpuTimes["BM_ReadTextStream"];
    const double baseCpu = reporter.CpuTimes["BM_ReadBaseline"];
    std::printf("read through TTextStream: %.2f ms, baseline: %.2f ms, ratio %.2fx (wall)\n",
                text->second, base->second, text->second / base->second);
    std::printf("read through TTextStream: %.2f ms, baseline: %.2f ms, ratio %.2fx (CPU)\n",
                textCpu, baseCpu, baseCpu > 0 ? textCpu / baseCpu : 0.0);
    std::printf("goal: within 5x\n");
  }
  benchmark::Shutdown();
  return 0;
}
