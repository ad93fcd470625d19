#include "bench_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <sstream>

// Without valgrind's headers the counting mode still runs but collects nothing.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

namespace {

// Enough repetitions for a stable best time on a busy machine, without running for long.
constexpr int MinRuns = 5;
constexpr int MaxRuns = 200;
constexpr double MinSeconds = 2.0;

// Where a timed load takes its memory from. With a warm heap the allocator keeps what earlier
// loads freed, so the figure is the cost of reading; from fresh memory every load starts after
// the allocator has handed its free memory back to the system, so the figure is that of a first
// load in a process, the kernel's zero-filled pages included. Either way each contender starts
// from the same state, whatever the one before it left behind.
enum class THeap { Warm, Fresh };

// Keeps freed memory in the process and serves large blocks from the heap rather than from
// mappings of their own, which are always handed back when freed.
void KeepFreedMemory() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

double SecondsToLoad(const TContender& Contender, const std::string& Input, THeap Heap) {
  if (Heap == THeap::Fresh) {
    malloc_trim(0);
  }
  const auto start = std::chrono::steady_clock::now();
  const TLoaded loaded = Contender.Run(Input);
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(stop - start).count();
}

struct TTiming {
  double Best = 0;
  double Median = 0;
};

// Contenders take turns, so a slow spell of the machine hits all of them alike.
std::vector<TTiming> TimeRow(const TBenchRow& Row, const std::string& Input, THeap Heap) {
  std::vector<std::vector<double>> times(Row.Contenders.size());
  double total = 0;
  for (int run = 0; run < MaxRuns && (run < MinRuns || total < MinSeconds); ++run) {
    for (std::size_t c = 0; c < Row.Contenders.size(); ++c) {
      const double t = SecondsToLoad(Row.Contenders[c], Input, Heap);
      times[c].push_back(t);
      total += t;
    }
  }
  std::vector<TTiming> result;
  for (auto& list : times) {
    std::sort(list.begin(), list.end());
    result.push_back({list.front(), list[list.size() / 2]});
  }
  return result;
}

double MegabytesPerSecond(std::size_t Bytes, double Seconds) {
  return Seconds > 0 ? static_cast<double>(Bytes) / Seconds / 1e6 : 0;
}

// The total of collected instructions in a callgrind output file, or -1.
long long CallgrindTotal(const std::string& Path) {
  std::ifstream in(Path);
  std::string line;
  while (std::getline(in, line)) {
    for (const char* key : {"totals:", "summary:"}) {
      if (line.rfind(key, 0) == 0) {
        return std::atoll(line.c_str() + std::string(key).size());
      }
    }
  }
  return -1;
}

} // namespace

void PrintSpeeds(const TBenchTable& Table) {
  KeepFreedMemory();
  std::printf("%-34s %-22s %9s %10s %10s %10s %10s %9s\n", "", "", "", "warm heap", "", "fresh mem",
              "", "");
  std::printf("%-34s %-22s %9s %10s %10s %10s %10s %9s\n", "row", "contender", "bytes", "best MB/s",
              "median", "best MB/s", "median", "vs first");
  for (const TBenchRow& row : Table) {
    const std::string input = row.MakeInput();
    const std::vector<TTiming> warm = TimeRow(row, input, THeap::Warm);
    const std::vector<TTiming> fresh = TimeRow(row, input, THeap::Fresh);
    for (std::size_t c = 0; c < row.Contenders.size(); ++c) {
      std::printf("%-34s %-22s %9zu %10.1f %10.1f %10.1f %10.1f %4.2f/%4.2fx\n", row.Name.c_str(),
                  row.Contenders[c].Name.c_str(), input.size(),
                  MegabytesPerSecond(input.size(), warm[c].Best),
                  MegabytesPerSecond(input.size(), warm[c].Median),
                  MegabytesPerSecond(input.size(), fresh[c].Best),
                  MegabytesPerSecond(input.size(), fresh[c].Median), warm[0].Best / warm[c].Best,
                  fresh[0].Best / fresh[c].Best);
    }
  }
}

bool PrintInstructionCounts(const TBenchTable& Table, const std::string& Self) {
  std::printf("%-34s %-22s %14s %12s\n", "row", "contender", "instructions", "per byte");
  for (std::size_t r = 0; r < Table.size(); ++r) {
    const std::size_t bytes = Table[r].MakeInput().size();
    for (std::size_t c = 0; c < Table[r].Contenders.size(); ++c) {
      const std::string out = "callgrind.bench." + std::to_string(r) + "." + std::to_string(c);
      std::ostringstream command;
      command << "valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=" << out
              << " '" << Self << "' --measure " << r << " " << c << " >/dev/null 2>&1";
      if (std::system(command.str().c_str()) != 0) {
        std::fprintf(stderr, "could not run: %s\n", command.str().c_str());
        return false;
      }
      const long long total = CallgrindTotal(out);
      std::remove(out.c_str());
      std::printf("%-34s %-22s %14lld %12.1f\n", Table[r].Name.c_str(),
                  Table[r].Contenders[c].Name.c_str(), total,
                  static_cast<double>(total) / static_cast<double>(bytes));
    }
  }
  return true;
}

int MeasureOnce(const TBenchTable& Table, int Row, int Contender) {
  if (Row < 0 || Row >= static_cast<int>(Table.size()) || Contender < 0 ||
      Contender >= static_cast<int>(Table[Row].Contenders.size())) {
    return 2;
  }
  const std::string input = Table[Row].MakeInput();
  CALLGRIND_TOGGLE_COLLECT;
  const TLoaded loaded = Table[Row].Contenders[Contender].Run(input);
  CALLGRIND_TOGGLE_COLLECT;
  return 0;
}
