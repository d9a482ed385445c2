#pragma once
// The whole of murmur-capture behind its command line: options, outputs, the
// capture window, the show and the fixed-clock frame loop of each mode.
#include "tools/capture/show.h"

#include <cstdio>
#include <string>
#include <vector>

namespace capture {

struct Console {
    std::FILE* out = stdout; // results: the benchmark's figures
    std::FILE* err = stderr; // errors, progress and summaries
    bool errIsTerminal = false;
};

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitInterrupted = 130 };

// Runs murmur-capture with the arguments after the program name. The show
// comes from `openShow`, called once the capture window's context is current.
int captureMain(const std::vector<std::string>& args, const ShowOpener& openShow, const Console& console);

} // namespace capture
