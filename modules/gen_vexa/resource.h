#pragma once
#define IDD_GEN_VEXA_CONFIG 100
#define IDC_GEN_VEXA_PATH 1001
