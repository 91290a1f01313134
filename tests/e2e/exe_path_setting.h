// The registry value through which the launcher learns where the product is installed.
#pragma once

#include <string>

namespace e2e {

// Sets or removes HKLM\...\SETTINGS "EXEPATH" for one test and removes the whole SETTINGS key again
// when it goes out of scope, so that every test starts from "not installed".
class ExePathSetting {
  public:
    ExePathSetting();
    ~ExePathSetting();
    ExePathSetting(const ExePathSetting&) = delete;
    ExePathSetting& operator=(const ExePathSetting&) = delete;

    // Writes the value as REG_SZ; returns false when the registry refused.
    bool Set(const std::string& value);
    // Creates the key without the value.
    bool CreateKeyOnly();
    // Removes the key and its value.
    void Clear();
};

}  // namespace e2e
