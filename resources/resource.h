// Resource and control ids shared by the resource script and the code.
#pragma once

#define IDD_CONVERTER 101
#define IDI_TAMARACK 104

#define IDC_FIELD_LIST 1000
#define IDC_INPUT_PATH 1001
#define IDC_BROWSE_INPUT 1002
#define IDC_OUTPUT_PATH 1003
#define IDC_BROWSE_OUTPUT 1004
#define IDC_MOVE_UP 1005
#define IDC_MOVE_DOWN 1006
#define IDC_SELECT_ALL 1007
#define IDC_USE_FULLNAME 1008
#define IDC_DOMAIN 1009
