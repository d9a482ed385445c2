#include "tests/support/decimal_comma_locale.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace murmur::test {
namespace {

constexpr const char* kName = "de_DE.UTF-8";
std::string gFailure;

struct CompiledLocale {
    std::filesystem::path folder;
    bool ready = false;

    CompiledLocale() {
        folder = std::filesystem::temp_directory_path() / ("murmur-locale-" + std::to_string(getpid()));
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / kName).string() + "' 2>&1";
        if (std::system(command.c_str()) != 0) {
            gFailure = "localedef could not compile " + std::string(kName) + " (package locales)";
            return;
        }
        setenv("LOCPATH", folder.c_str(), 1);
        ready = true;
    }
    ~CompiledLocale() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

}  // namespace

const char* decimalCommaLocale() {
    static CompiledLocale compiled;
    return compiled.ready ? kName : nullptr;
}

const char* decimalCommaLocaleFailure() { return gFailure.c_str(); }

DecimalCommaScope::DecimalCommaScope() {
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    std::snprintf(saved_, sizeof saved_, "%s", current ? current : "C");
    const char* name = decimalCommaLocale();
    active_ = name && std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

DecimalCommaScope::~DecimalCommaScope() { std::setlocale(LC_NUMERIC, saved_); }

}  // namespace murmur::test
