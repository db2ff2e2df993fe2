#include "result_line.h"

#include <cstdio>

namespace bench {

void PrintResult(const char* figure, std::initializer_list<std::string> fields) {
    std::string line = std::string("RESULT|") + figure;
    for (const std::string& field : fields)
        line += "|" + field;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout); // the script reads along while the program still runs
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace bench
