#include "app/log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

LogFlags logFlags;

namespace {

std::ofstream logFile;
char messageBuffer[1024];
char timeBuffer[70];
std::ostringstream lineStream;

}  // namespace

void openLogFile() {
    if (logFile.is_open()) logFile.close();
    logFile.clear();
    logFile.open("log.txt", std::ios::out | std::ios::trunc);
}

void configureLog(bool mirrorToDebugger, bool writeToFile) {
    logFlags.mirrorToDebugger = mirrorToDebugger;
    logFlags.writeToFile = writeToFile;
    logFlags.dashMarker = false;
    openLogFile();
}

void logMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    // vsnprintf never writes past the buffer; longer messages are cut.
    const int written = std::vsnprintf(messageBuffer, sizeof messageBuffer, format, args);
    va_end(args);
    if (written < 0) messageBuffer[0] = '\0';

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (std::strftime(timeBuffer, sizeof timeBuffer, "%X", &local) == 0) timeBuffer[0] = '\0';

    lineStream.str(std::string());
    lineStream.clear();
    lineStream << '[' << (logFlags.dashMarker ? "-" : "") << timeBuffer << "-T    ] " << messageBuffer << '\n'
               << std::flush;
    const std::string line = lineStream.str();

    if (logFlags.mirrorToDebugger) {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
    if (logFlags.writeToFile) {
        logFile << line;
        logFile.flush();
    }
}
