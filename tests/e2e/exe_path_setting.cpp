#include "tests/e2e/exe_path_setting.h"

#include <windows.h>

namespace e2e {

namespace {

constexpr const char* kSettingsKey = "SOFTWARE\\Zandor SOFTWARE\\Velmora\\Primavex 1.0\\SETTINGS";

HKEY CreateSettingsKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace

ExePathSetting::ExePathSetting() { Clear(); }

ExePathSetting::~ExePathSetting() { Clear(); }

bool ExePathSetting::Set(const std::string& value) {
    HKEY key = CreateSettingsKey();
    if (!key) return false;
    LONG rc =
        RegSetValueExA(key, "EXEPATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool ExePathSetting::CreateKeyOnly() {
    HKEY key = CreateSettingsKey();
    if (!key) return false;
    RegDeleteValueA(key, "EXEPATH");
    RegCloseKey(key);
    return true;
}

void ExePathSetting::Clear() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey); }

}  // namespace e2e
