// Rows of the benchmark table for the XML reader.
#pragma once

#include "bench_table.h"

void AddXMLRows(TBenchTable& Table);
