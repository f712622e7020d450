/* The identifiers of the program's resources, shared by talvoren.rc and the
   code that loads them. Plain macros in C comments: windres reads this too. */
#pragma once

/* The icon group of the program's identity (RT_GROUP_ICON), which its windows name. */
#define TALVOREN_ICON_GROUP 1
/* The picture of the main window's Image1 (RT_BITMAP). */
#define TALVOREN_IMAGE1_BITMAP 101
