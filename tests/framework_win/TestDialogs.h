#pragma once

// Resource IDs of the test dialogs and icon; windres and the compiler both
// read this.

#define IDD_PROBE 200
#define IDD_MISSING 299

#define IDI_UNDECODABLE 300
#define IDI_MISSING 399

#define IDC_PROBE_EDIT 1001
#define IDC_PROBE_LIST 1003
#define IDC_PROBE_BUTTON 1005
#define IDC_RADIO_FIRST 1009
#define IDC_RADIO_SECOND 1010
#define IDC_RADIO_THIRD 1011
#define IDC_CHECK 1012
