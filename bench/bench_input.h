// The numbers the benchmarks paste: measurements as people paste them, one to four digits
// before the point and one to three after, one value per line, the same every run.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <string_view>

namespace quorvel::bench {

// `lines` values, each line ended by `lineBreak`, the last one too when `finalLineBreak`.
inline std::string MakeLines(int lines, std::string_view lineBreak, bool finalLineBreak) {
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> value(0.5, 2500.0);
    std::uniform_int_distribution<int> decimals(1, 3);
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 10);
    char buffer[32];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals(random), value(random));
        text += buffer;
        if (i + 1 < lines || finalLineBreak) text += lineBreak;
    }
    return text;
}

}  // namespace quorvel::bench
