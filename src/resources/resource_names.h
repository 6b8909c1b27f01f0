// Names of the program's resources: the resource script and the code that loads them both
// take them from here (the icon sets' from core/icon_sets.h). Plain preprocessor text, so
// windres can read it too.
#ifndef QUAFF_RESOURCES_RESOURCE_NAMES_H
#define QUAFF_RESOURCES_RESOURCE_NAMES_H

// A resource name: a bare word to the resource compiler (which would join a quoted name to
// the file name before it), a string to C++.
#ifdef RC_INVOKED
#define QUAFF_RES_NAME(word) word
#else
#define QUAFF_RES_NAME(word) #word
#endif

// The program's icon; also the program file's, being the first icon group in name order.
#define QUAFF_RES_MAIN_ICON QUAFF_RES_NAME(MAINICON)
// The tray icon component's icon until it is given an icon set.
#define QUAFF_RES_TRAY_ICON QUAFF_RES_NAME(TRAYICON)
// The settings dialog's browse button glyph: enabled left, disabled right (BITMAP).
#define QUAFF_RES_FOLDER_GLYPH QUAFF_RES_NAME(FOLDERGLYPH)

#endif
