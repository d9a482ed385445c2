#pragma once

namespace murmur::test {

// A locale whose decimal separator is a comma ("de_DE.UTF-8"), compiled with
// localedef into a scratch folder on first use and made visible through
// LOCPATH. Returns its name for setlocale, or null (with the reason in
// failure()) when it cannot be built.
const char* decimalCommaLocale();
const char* decimalCommaLocaleFailure();

// Switches LC_NUMERIC to the decimal-comma locale for the scope's lifetime.
class DecimalCommaScope {
public:
    DecimalCommaScope();
    ~DecimalCommaScope();
    DecimalCommaScope(const DecimalCommaScope&) = delete;
    DecimalCommaScope& operator=(const DecimalCommaScope&) = delete;
    bool active() const { return active_; }

private:
    char saved_[64] = {};
    bool active_ = false;
};

}  // namespace murmur::test
