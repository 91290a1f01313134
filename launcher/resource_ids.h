#pragma once

// Resource and control ids of the launcher (shared by the resource script and the code).

#define IDD_LAUNCHER 102
#define IDD_VIDEO 150
#define IDI_LAUNCHER 128
#define IDR_HAND_CURSOR 163

// Controls of the launcher dialog; INSTALL and EXIT are the standard IDOK (1) and IDCANCEL (2).
#define IDC_RUN 1002
