// The system's own description of an error code, for messages to the user.
#pragma once

#include <cstdint>
#include <string>

// FormatMessage's text for a GetLastError code, in the system's language,
// without its trailing line break; "foutcode N" when the system has none.
std::string SystemErrorText(uint32_t code);
