// A long learning record for the benchmarks: many rounds over a year on a few problem sets,
// written in one transaction with prepared statements.
#pragma once

#include <QString>

namespace rekendo::bench {

struct RecordSize {
  int rounds = 100'000;
  int sets = 8;  // the first holds half the rounds, the rest share the other half
  int problems_per_set = 200;
};

// Creates (or replaces the rows of) the record in `folder`; an error text, empty when done.
QString MakeBigRecord(const QString& folder, const RecordSize& size);

}  // namespace rekendo::bench
