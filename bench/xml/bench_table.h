// A small benchmark table: each row is one input, loaded by one or more contenders in the same
// run. Speed is the best of many timed loads (MB/s, 1 MB = 10^6 bytes); instructions per byte
// come from valgrind's callgrind, counting only the load itself.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a load produced. It is destroyed after the clock stops: only loading is measured.
using TLoaded = std::shared_ptr<void>;

// One way of loading a row's input. Run must load the whole input and throw on failure.
struct TContender {
  std::string Name;
  std::function<TLoaded(const std::string& Input)> Run;
};

struct TBenchRow {
  std::string Name;
  std::function<std::string()> MakeInput;
  std::vector<TContender> Contenders;
};

using TBenchTable = std::vector<TBenchRow>;

// Times every contender of every row and prints the table.
void PrintSpeeds(const TBenchTable& Table);

// Runs this program once per contender under callgrind and prints instructions per byte.
// Answers false when valgrind cannot be run.
bool PrintInstructionCounts(const TBenchTable& Table, const std::string& Self);

// The child side of PrintInstructionCounts: loads one row's input once with callgrind
// collecting only around the load.
int MeasureOnce(const TBenchTable& Table, int Row, int Contender);
