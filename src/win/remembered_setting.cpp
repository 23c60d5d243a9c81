#include "win/remembered_setting.h"

#include <windows.h>

namespace tarvel::win {

namespace {

constexpr const wchar_t* kKey = L"Software\\Tarvel";

}  // namespace

bool RememberedFlag(const wchar_t* name, bool fallback) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    return value != 0;
}

void RememberFlag(const wchar_t* name, bool on) {
    const DWORD value = on ? 1 : 0;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof(value));
}

}  // namespace tarvel::win
