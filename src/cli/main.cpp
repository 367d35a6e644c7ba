// quorvel-cv: the calculator for the terminal. Reads all of standard input as the lines
// one would type into the calculator's input box and prints count, mean, standard deviation
// and coefficient of variation, separated by tabs, on one line.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "platform/codepage/codepage.h"
#include "platform/scriptcontrol/script_control.h"
#include "script/calculation.h"
#include "script/script_host.h"

namespace {

using namespace quorvel;

constexpr const char* kUsage =
    "Usage: quorvel-cv < numbers.txt\n"
    "\n"
    "Reads numbers from standard input, one per line, and prints their count, mean,\n"
    "sample standard deviation and coefficient of variation (sd / mean), separated by\n"
    "tabs, on one line. A line break after the last line is allowed; every other line\n"
    "counts as a value, and a line that is not a number makes the statistics NaN.\n"
    "\n"
    "The exit code is 0 on success and 1 when there is no input or the calculation\n"
    "cannot be made; the reason is written to standard error.\n"
    "\n"
    "Options:\n"
    "  --help   show this help and exit\n";

std::string ReadAll(std::FILE* stream) {
    std::string data;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) data.append(buffer, n);
    return data;
}

// Lines end in LF or CR LF on input; the calculator's texts end lines in CR LF.
std::string WithCrLfLineBreaks(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    size_t start = 0;
    while (start < in.size()) {
        const void* found = std::memchr(in.data() + start, '\n', in.size() - start);
        const size_t lf = found ? static_cast<const char*>(found) - in.data() : in.size();
        out.append(in, start, lf - start);
        if (lf == in.size()) break;
        if (lf == 0 || in[lf - 1] != '\r') out.push_back('\r');
        out.push_back('\n');
        start = lf + 1;
    }
    return out;
}

int Fail(const text::Text& gbkMessage) {
    const std::string message = codepage::Utf8FromGbk(gbkMessage);
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "quorvel-cv: unknown argument '%s'\n%s", argv[1], kUsage);
        return 2;
    }

    text::Text input = codepage::GbkFromUtf8(WithCrLfLineBreaks(ReadAll(stdin)));

    script::ScriptHost host(scriptcontrol::StandardRegistry());
    if (!host.ExecuteStatement(script::CalcScript())) return Fail(script::ScriptLoadFailedMessage());

    const script::Calculation calculation = script::Calculate(std::move(input), host);
    switch (calculation.status) {
        case script::CalculationStatus::EmptyInput: return Fail(script::EmptyInputMessage());
        case script::CalculationStatus::NoResult:
            return Fail(codepage::GbkFromUtf8("计算失败：") + host.LastError());
        case script::CalculationStatus::Computed: {
            const auto& f = calculation.fields;
            const std::string line = codepage::Utf8FromGbk(f[0] + "\t" + f[1] + "\t" + f[2] + "\t" + f[3]);
            std::printf("%s\n", line.c_str());
            return 0;
        }
    }
    return 1;
}
