// One folder on a disk as the back-up's run uses it: spelled once, so the
// rooms it visits (refusals, listing, plan, copies, record) join and
// compare the same text and never normalise the folder again.
#pragma once

#include <string>

struct DiskPlace {
    std::string path;       // "E:\Back-ups\Demo\": UTF-8, "\" for "/", one trailing "\"
    std::string written;    // "E:\Back-ups\Demo", as a person writes it ("E:\" for a drive)
    std::string name;       // "Demo"; empty for a drive's root
    std::wstring longForm;  // "\\?\E:\Back-ups\Demo\", for the wide-character calls
    std::string shown;      // written in the code page, for the log and the messages

    // The folder as typed or chosen: "e:/Back-ups/Demo", "E:\Back-ups\Demo\".
    static DiskPlace Of(const std::string& folder);
    // "E:\Back-ups\Demo\Audio\" for "Audio".
    DiskPlace Child(const std::string& childName) const;
    // "E:\Back-ups\Demo\Audio\intro.wav" for "Audio\intro.wav".
    std::string Below(const std::string& relative) const { return path + relative; }
};
