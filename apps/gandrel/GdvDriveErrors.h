#pragma once

// Drives whose medium went, or that went themselves, answer the program's
// file calls with an error, not with the system's box asking for a disk:
// a selector reading its tree again would otherwise raise one box for
// each directory it looks at. Set once for the whole process, the copy's
// worker thread included.
void GdvQuietDriveErrors();
