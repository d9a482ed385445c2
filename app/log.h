#pragma once

// The program's only report channel: stamped lines in "log.txt" in the
// current directory and, when mirrorToDebugger is set, on standard error.
//
// Line format: "[" ["-"] HH:MM:SS "-T    ] " message "\n".

struct LogFlags {
    bool mirrorToDebugger = false;
    bool writeToFile = true;
    bool dashMarker = false;
};

// Process-wide settings, set directly by their users.
extern LogFlags logFlags;

// Closes "log.txt" when open and opens it anew, truncated. A failed open
// leaves the log file silent; the debugger copy still works.
void openLogFile();

// Sets the three flags and reopens "log.txt".
void configureLog(bool mirrorToDebugger, bool writeToFile);

// printf-style. Messages of 1024 characters or more are cut to 1023.
void logMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
