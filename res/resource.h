// Resource ids of lumetta.exe. Read by windres and by C++ alike: plain #defines of integer
// literals only, and no system header, so pure code can include it too.
#ifndef LUMETTA_RES_RESOURCE_H
#define LUMETTA_RES_RESOURCE_H

// Dialog templates.
#define IDD_OPTIONS 100
#define IDD_GENERAL_PAGE 101
#define IDD_ABOUT_PAGE 102

// Icon, cursor, accelerators.
#define IDI_APP 200
#define IDC_SELECT_CURSOR 209
#define IDR_SELECT_ACCEL 210

// Accelerator commands of the selection window. Enter is bound so that it never reaches
// anything else; the selection window ignores it.
#define IDM_SELECT_CANCEL 9700
#define IDM_SELECT_ACCEPT 9701

// Tray menu commands; each id is also the string id of the item's text.
#define IDM_TRAY_EXIT 20000
#define IDM_TRAY_OPTIONS 20003
#define IDM_TRAY_NEW_PREVIEW 20006

// Preview commands (menu, overlay buttons, double-click action); each id is also the string id
// of the command's label and tooltip.
#define IDM_NEW_PREVIEW 20100
#define IDM_BRING_TO_FRONT 20101
#define IDM_MAXIMIZE 20102
#define IDM_RESTORE 20103
#define IDM_ZOOM_IN 20104
#define IDM_ZOOM_OUT 20105
#define IDM_ACTUAL_SIZE 20106
#define IDM_OPTIONS 20107
#define IDM_CLOSE_PREVIEW 20108
#define IDM_CLOSE_ALL 20109

// Controls of IDD_OPTIONS.
#define IDC_OK 1001
#define IDC_CANCEL 1002
#define IDC_TABS 1099

// Controls of IDD_GENERAL_PAGE.
#define IDC_SHOW_TRAY_ICON 1101
#define IDC_TRAY_NOTE 1102
#define IDC_SILENT_MODE 1103
#define IDC_SILENT_NOTE 1104
#define IDC_TASKBAR_BUTTONS 1107
#define IDC_KEEP_ON_TOP 1108
#define IDC_DBLCLICK_ACTION 1148
#define IDC_NEW_PREVIEW_ACTION 1149

// Controls of IDD_ABOUT_PAGE.
#define IDC_WEB_LABEL 8104
#define IDC_EMAIL_LABEL 8105
#define IDC_SUBSCRIBE_RSS 8106
#define IDC_SUBSCRIBE_EMAIL 8107
#define IDC_EMAIL_LINK 8194
#define IDC_WEB_LINK 8195
#define IDC_ABOUT_NOTICE 8197
#define IDC_ABOUT_TITLE 8198
#define IDC_ABOUT_ICON 8199

// A dialog control that no code refers to.
#define IDC_STATIC (-1)

// Strings. The labels of the commands above use the command ids themselves.

// Overlay bar.
#define IDS_MORE_ACTIONS 20150      // tooltip of the "more actions" button
#define IDS_ZOOM_LABEL_FORMAT 20151 // the zoom percentage, printf format of one int

// Options dialog.
#define IDS_OPTIONS_TITLE 21000
#define IDS_OK 21001
#define IDS_CANCEL 21002
#define IDS_TAB_OPTIONS 21050
#define IDS_TAB_ABOUT 21051
#define IDS_MULTIPLE_PREVIEWS 21052
#define IDS_REPLACE_PREVIEW 21053

// About page.
#define IDS_ABOUT_TITLE 21200

// Shell: product name as the user sees it, tray balloon, selection hint, source information.
#define IDS_APP_NAME 28000
#define IDS_BALLOON_TITLE 28090
#define IDS_BALLOON_TEXT 28091
#define IDS_SELECT_HINT 28100
#define IDS_SOURCE_INFO_FORMAT 28110 // printf format: handle (%p), class, title, process path

// Messages.
#define IDS_ERROR_CAPTION 32100
#define IDS_CMDLINE_UNPARSABLE 32101
#define IDS_CMDLINE_INVALID 32102
#define IDS_SELECTION_WINDOW_FAILED 32103
#define IDS_PREVIEW_FAILED 32104
#define IDS_COMPOSITION_REQUIRED 32105
#define IDS_PREVIEW_LIMIT 32155

#endif
