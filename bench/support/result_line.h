// The lines the benchmark programs print for scripts/benchmark to gather:
//   RESULT|<figure>|<field>|<field>...
// Anything else they print is for a person reading along.
#pragma once

#include <initializer_list>
#include <string>

namespace bench {

void PrintResult(const char* figure, std::initializer_list<std::string> fields);

// A number with a fixed count of decimals, for a field.
std::string Fixed(double value, int decimals);

} // namespace bench
