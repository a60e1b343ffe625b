// Command numbers of the panel's popup menu, shared by the MENU resource and the panel.
#pragma once
#define ID_PUM_SHOWHIDE 101
#define ID_PUM_SETTING 102
#define ID_PUM_HELP 103
#define ID_PUM_ABOUT 104
#define ID_PUM_EXIT 105
