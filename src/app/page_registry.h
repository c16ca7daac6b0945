// Creates a wizard page from its run-time class name.
#pragma once

#include <memory>
#include <string>

class CPropertyPage;

// Null for a name that is not a page class.
std::unique_ptr<CPropertyPage> CreatePageByClassName(const std::string& name);
