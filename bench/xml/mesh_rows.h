// Rows of the benchmark table for the mesh loader: a whole .mesh document into a TMesh.
#pragma once

#include "bench_table.h"

void AddMeshRows(TBenchTable& Table);
