// Load benchmarks: how fast documents are read into memory, next to a reference reader.
//
//   bench_xml                  times every row (best and median of repeated loads)
//   bench_xml --instructions   counts instructions per byte with valgrind's callgrind
//
// To add a row: write a function that appends a TBenchRow (an input maker and one or more
// contenders), call it below, and add its file and library in CMakeLists.txt.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_table.h"
#include "mesh_rows.h"
#include "xml_rows.h"

namespace {

TBenchTable AllRows() {
  TBenchTable table;
  AddXMLRows(table);
  AddMeshRows(table);
  return table;
}

} // namespace

int main(int argc, char** argv) {
  const TBenchTable table = AllRows();
  if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
    return MeasureOnce(table, std::atoi(argv[2]), std::atoi(argv[3]));
  }
  if (argc == 2 && std::strcmp(argv[1], "--instructions") == 0) {
    return PrintInstructionCounts(table, std::filesystem::read_symlink("/proc/self/exe")) ? 0 : 1;
  }
  if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--instructions]\n", argv[0]);
    return 2;
  }
  PrintSpeeds(table);
  return 0;
}
