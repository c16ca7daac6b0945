// Where a referenced file lies relative to the show, which decides its
// colour in the analysis. Paths compare with only ASCII letters folded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class RefColour {
    Red,                // missing
    GreenInShowFolder,  // in the show's own folder: counted, kept in no list
    GreenInSubfolder,   // in a folder below the show's, at any depth
    Yellow,             // present elsewhere (yellow 1 or 2, see IsYellow1)
};

// exists is the record's existence state (-1 missing, 0 present but
// locked, 1 measured). drive and dir are the reference's parts as
// SplitPath gives them; showDrive and showDir those of the show.
// A show path without a drive letter (a network path) leaves nothing
// green: every existing reference is then yellow.
RefColour ClassifyReference(int exists, std::string_view drive, std::string_view dir,
                            std::string_view showDrive, std::string_view showDir);

// Tree text of a reference below the show's folder, relative to it:
// dir "\Shows\Demo\Audio\", name "b", ext ".wav" with showDir
// "\Shows\Demo\" give ".\Audio\b.wav".
std::string GreenSubfolderText(std::string_view dir, std::string_view name,
                               std::string_view ext, std::string_view showDir);

// The colour of a reference by where its file really lies: "." and ".."
// segments are folded first, so "C:\Shows\Demo\..\Muziek\x.wav" is no
// file of the show C:\Shows\Demo\demo.ws4. For a file in a subfolder
// relativeText is its tree text, made from that resolved place.
struct ReferencePlace {
    RefColour colour;
    std::string relativeText;  // only for GreenInSubfolder
};
ReferencePlace PlaceReference(int exists, std::string_view reference, std::string_view showDrive,
                              std::string_view showDir);

// A yellow reference is yellow 1 when it lies on the show's drive (it can
// be moved there) and yellow 2 otherwise. chDrive is the record's upper-
// cased drive letter. An empty show drive makes every reference yellow 2.
bool IsYellow1(char chDrive, std::string_view showDrive);

// Why a file that is there could not be opened for reading, from the
// system's error code.
enum class OpenRefusal {
    Busy,          // another program holds it open (a sharing or lock violation)
    AccessDenied,  // this user may not read it
    Other,
};
OpenRefusal OpenRefusalOf(uint32_t systemError);

// The existence state of a file that is there but could not be opened for
// reading: a busy file is present (0); one the user may not read, or that
// fails for another reason, counts as missing (-1): a back-up made by this
// user would miss it too.
int ExistsStateWhenUnreadable(uint32_t systemError);
