// Resource identifiers of Pelorin.dll.
#pragma once

#define IDR_REGISTRY 100

#define IDS_DISPLAY_NAME 101
#define IDS_CATEGORY_NAME 104
#define IDS_SUMMARY 107
#define IDS_COMMAND_HELP_FILE 108

#define IDB_COLOR_MEDIUM 128
#define IDB_COLOR_LARGE 129
#define IDB_MONOCHROME_LARGE 130
#define IDB_MONOCHROME_MEDIUM 131
