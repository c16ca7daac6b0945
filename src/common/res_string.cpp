#include "common/res_string.h"

#include <windows.h>

std::string LoadResString(unsigned id) {
    std::string buf(1024, '\0');
    for (;;) {
        int got = ::LoadStringA(::GetModuleHandleA(nullptr), id, &buf[0], static_cast<int>(buf.size()));
        if (got <= 0) return std::string();
        // A text that fills the buffer may have been cut: try a larger one.
        if (static_cast<size_t>(got) + 1 < buf.size()) {
            buf.resize(static_cast<size_t>(got));
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}
