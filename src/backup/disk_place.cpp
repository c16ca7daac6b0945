#include "backup/disk_place.h"

#include "backup/backup_disk.h"
#include "backup/backup_plan.h"

DiskPlace DiskPlace::Of(const std::string& folder) {
    DiskPlace place;
    place.written = NormalizeFolder(folder);
    place.path = WithBackslash(place.written);
    place.name = ShowFolderName(place.written);
    place.longForm = backup::Wide(place.path);
    place.shown = backup::Shown(place.written);
    return place;
}

DiskPlace DiskPlace::Child(const std::string& childName) const { return Of(path + childName); }
