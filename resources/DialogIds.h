// Control identifiers of the settings and detail dialogs' stored layouts, shared by the
// definitions and the forms that take their controls.
#pragma once

#define IDC_STATIC_TEXT (-1)

// frmSetting
#define IDC_bbnOK 1001
#define IDC_bbnCancel 1002
#define IDC_pgcSetting 1003
#define IDC_tbsRegist 1010
#define IDC_lbxRegiApp 1011
#define IDC_bbnUp 1012
#define IDC_bbnDown 1013
#define IDC_bbnAdd 1014
#define IDC_bbnDelete 1015
#define IDC_bbnDetail 1016
#define IDC_tbsLaunchBtn 1020
#define IDC_cmbBtnRow 1021
#define IDC_cmbButtonSize 1022
#define IDC_cmbBtnCol 1023
#define IDC_cmbIconBound 1024
#define IDC_tbsShowType 1030
#define IDC_cmbHotKey1 1031
#define IDC_cmbHotKey2 1032
#define IDC_chbAnimation 1033
#define IDC_trbSpeed 1034
#define IDC_chbAutoClose 1035
#define IDC_chbSound 1036
#define IDC_lblSpeed1 1037
#define IDC_lblSpeed2 1038
#define IDC_lblSpeed3 1039

// frmDetail
#define IDC_detail_bbnOK 1101
#define IDC_detail_bbnCancel 1102
#define IDC_chbUseArias 1103
#define IDC_edtArias 1104
#define IDC_edtFileName 1105
#define IDC_lblArias 1106

// frmAbout
#define IDC_about_bbnOK 1201
#define IDC_about_lblTitle 1202
