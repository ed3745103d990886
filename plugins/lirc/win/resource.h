#pragma once
// Resource identifiers of lirc.dll.
#define IDD_LIRC_SETUP 101

#define IDC_SERVER_IP 1001
#define IDC_SERVER_PORT 1002
#define IDC_AUTOSTART 1003
#define IDC_LIRC_PATH 1004
#define IDC_BROWSE 1005
#define IDC_RECONNECT 1006
#define IDC_SECONDS 1007
#define IDC_SECONDS_SPIN 1008
#define IDC_CONNECT 1009
#define IDC_SET_DEFAULT 1010
