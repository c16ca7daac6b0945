#include "common/system_error.h"

#include <windows.h>

#include <memory>

namespace {
struct LocalFreeDeleter {
    void operator()(char* p) const noexcept { ::LocalFree(p); }
};
}  // namespace

std::string SystemErrorText(uint32_t code) {
    char* raw = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
    std::unique_ptr<char, LocalFreeDeleter> owner(raw);
    std::string text = n && raw ? std::string(raw, n) : std::string();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "foutcode " + std::to_string(code);
    return text;
}
