#include "services/help_url.h"

namespace {
// In the order of the wizard's pages.
constexpr std::string_view kAnchors[kManualPageSections] = {
    "introductie", "selectie", "analyse", "rood", "geel1", "geel2", "overige", "klaar",
};

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}
}  // namespace

std::string_view ManualAnchor(int pageIndex) {
    if (pageIndex < 0 || pageIndex >= kManualPageSections) return {};
    return kAnchors[pageIndex];
}

std::string FileUrl(std::string_view utf8Path, std::string_view anchor) {
    std::string url = "file://";
    size_t i = 0;
    const bool unc = utf8Path.size() >= 2 && (utf8Path[0] == '\\' || utf8Path[0] == '/') &&
                     (utf8Path[1] == '\\' || utf8Path[1] == '/');
    if (unc) {
        i = 2;  // the server name follows "file://" directly
    } else {
        url += '/';
        // The drive's colon stays as it is: file:///C:/...
        if (utf8Path.size() >= 2 && utf8Path[1] == ':') {
            url += utf8Path.substr(0, 2);
            i = 2;
        }
    }
    for (; i < utf8Path.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8Path[i]);
        if (c == '\\' || c == '/') url += '/';
        else if (IsUnreserved(c)) url += static_cast<char>(c);
        else AppendEscaped(url, c);
    }
    if (!anchor.empty()) {
        url += '#';
        for (unsigned char c : anchor) {
            if (IsUnreserved(c)) url += static_cast<char>(c);
            else AppendEscaped(url, c);
        }
    }
    return url;
}
