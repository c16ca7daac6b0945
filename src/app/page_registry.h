// Creates a wizard page from its run-time class name.
#pragma once

#include <memory>
#include <string>

class CPropertyPage;

// Null for a name that is not a page class.
std::unique_ptr<CPropertyPage> CreatePageByClassName(const std::string& name);

// Gives the pages the features above them that they open (the analysis
// page's report and its check of the files). Made once, before the first page is created.
void RegisterFeatures();
