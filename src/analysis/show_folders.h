// The show's three subfolders (the application's CreateShowSubfolders).
#pragma once

// Makes the subfolders for sound files, images and other files in the
// show's folder where they are missing; false, after a message naming the
// folder, when one cannot be made.
bool MakeShowSubfolders();
