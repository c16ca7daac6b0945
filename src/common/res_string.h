// Texts from the program's string table.
#pragma once

#include <string>

// The string resource with this id, or an empty text when there is none.
std::string LoadResString(unsigned id);
