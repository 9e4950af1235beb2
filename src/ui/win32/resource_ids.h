/* Resource ids shared by the window and the program's resource script. */
#pragma once

#define PENTRAX_ICON_RESOURCE 1
