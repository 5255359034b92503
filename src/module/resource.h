// Resource ids of the module: dialog templates, their controls and menus (Resources.cpp).
#pragma once

// Preferences dialog.
#define IDD_PREFERENCES 216
#define IDC_UNITS_METRIC 288
#define IDC_UNITS_IMPERIAL 289
#define IDC_PRECISION 290
#define IDC_TEXT_SIZE 291
#define IDC_ZOOM_BORDER 292
#define IDC_CSV_OPENER 330
#define IDC_ZOOM_BORDER_LABEL 338
#define IDC_TEXT_SCALE 341
#define IDC_TEXT_ROTATION 342

// About dialog.
#define IDD_ABOUT 221
#define IDC_ABOUT_TITLE 325
#define IDC_ABOUT_VERSION 326
#define IDC_ABOUT_COMPILE_DATE 327
#define IDC_ABOUT_HOST_VERSION 337
