// Constants every part of the program shares: command-line bits, version bits, the hand-off
// record and the names by which its processes and windows find each other. Pure header; the
// values that only mean something to Win32 are in constants_win.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumetta {

// CommandFlags: what the command line asks for.
constexpr uint32_t CMD_INSTALL = 0x100;
constexpr uint32_t CMD_PREVIEW = 0x2000;
constexpr uint32_t CMD_STARTUP = 0x20000;
constexpr uint32_t CMD_EXIT = 0x100000;
constexpr uint32_t CMD_QUIT = 0x200000; // set by the program itself for a bad command line
constexpr uint32_t CMD_WAIT = 0x400000;

// Any of these makes the process a main instance or a messenger; without them it selects.
constexpr uint32_t CMD_MAIN_INSTANCE_MASK = CMD_EXIT | CMD_STARTUP | CMD_PREVIEW | CMD_INSTALL;
static_assert(CMD_MAIN_INSTANCE_MASK == 0x122100);

// Every bit an option of the command line can set (CMD_QUIT is never parsed).
constexpr uint32_t CMD_OPTION_MASK = CMD_MAIN_INSTANCE_MASK | CMD_WAIT;

// OsVersionFlags.
constexpr uint32_t OS_VISTA = 0x20000000;
constexpr uint32_t OS_WIN8 = 0x80000000;
constexpr uint32_t OS_WIN10 = 0x08000000;

// Versions behind the bits: 6.0 and 6.2 by VerifyVersionInfoW, 10 by RtlGetVersion.
constexpr uint32_t OS_VISTA_MAJOR_VERSION = 6;
constexpr uint32_t OS_VISTA_MINOR_VERSION = 0;
constexpr uint32_t OS_WIN8_MINOR_VERSION = 2;
constexpr uint32_t OS_WIN10_MAJOR_VERSION = 10;

// Registered at run time; the shell broadcasts it when the taskbar is (re)created.
constexpr wchar_t TASKBAR_CREATED_MESSAGE[] = L"TaskbarCreated";

// HandOffRecord carried by WM_COPYDATA (dwData is the tag, "LMT1").
constexpr uint32_t HANDOFF_TAG = 0x4C4D5431;
constexpr uint32_t HANDOFF_RECORD_SIZE = 32;
constexpr uint32_t HANDOFF_RECORD_VERSION = 1;
constexpr uint32_t HANDOFF_TIMEOUT_MS = 2000;

// A selection process that starts the main instance polls for its window this often.
constexpr uint32_t START_WAIT_ATTEMPTS = 50;
constexpr uint32_t START_WAIT_INTERVAL_MS = 100;
constexpr wchar_t START_WAIT_PARAMETERS[] = L"-startup -wait";
constexpr wchar_t SELECT_PARAMETERS[] = L"-select";

// Tray icon.
constexpr uint32_t TRAY_ICON_ID = 200;
constexpr uint32_t TRAY_BALLOON_TIMEOUT_MS = 12000;

// Open previews at most (slots of the preview list).
constexpr size_t MAX_PREVIEWS = 100;

// Window classes and titles: processes of the program find each other by these.
constexpr wchar_t MAIN_WINDOW_CLASS[] = L"Lumetta_MainWnd";
constexpr wchar_t SELECTION_WINDOW_CLASS[] = L"Lumetta_SelectionWnd";
constexpr wchar_t PREVIEW_WINDOW_CLASS[] = L"Lumetta_PreviewWnd";
// The taskbar's window, whose thread may hand over the foreground when no window has it.
constexpr wchar_t TASKBAR_WINDOW_CLASS[] = L"Shell_TrayWnd";
constexpr wchar_t APP_TITLE[] = L"Lumetta"; // window title, tray tooltip, plain message boxes

} // namespace lumetta
