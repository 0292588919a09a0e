// How the main window and the panels meet on the Win32 side: the running program, and the helpers
// every panel's window uses. The panels themselves are listed in panel_registry.h.
#pragma once

#include <windows.h>

#include "shell/panel_registry.h"
#include "shell/poll.h"
#include "ui/controls.h"
#include "ui/guard_win32.h"

namespace kv {

struct Program;

// The running program, for the window and dialog procedures (one per process; the shell owns it).
struct App {
  Program* program = nullptr;
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  HWND panelWindow = nullptr;  // the panel now shown
};
App& TheApp();
inline Program& TheProgram() { return *TheApp().program; }

// Helpers every panel uses.

// Creates `panel`'s dialog from its template for the current screen size (the registry's
// table), as a child of `parent`, with the procedure `Proc` behind the exception guard; null when
// it could not be made.
HWND CreatePanelDialogWith(HWND parent, int panel, DLGPROC proc, LPARAM param);
template <DLGPROC Proc>
HWND CreatePanelDialog(HWND parent, int panel, LPARAM param = 0) {
  return CreatePanelDialogWith(parent, panel, GuardedDialogProc<Proc>, param);
}

// Starts `timer` of `window` with the link's pollPeriod; a running timer of that id is replaced
// and counts from the start again.
void ArmPollTimer(HWND window, UINT_PTR timer);
// A poller's WM_TIMER: runs `tick` (returning PollTick's answer) when the message is for `timer`,
// and re-arms the timer when the tick asks for it.
template <typename Tick>
void OnPollTimer(HWND window, WPARAM id, UINT_PTR timer, Tick&& tick) {
  if (id == timer && tick()) ArmPollTimer(window, timer);
}

// Runs a modal sub-dialog from template `templateId` over `owner` with the procedure `Proc`
// behind the exception guard, with `flag` (subDialogOpen, correctionsOpen) set for its life and
// always clear when this returns, also when the dialog could not be made: a flag left set would
// keep its panel from polling for good. Returns the dialog's result (-1 when it could not be
// made).
INT_PTR RunSubDialogWith(HWND owner, int templateId, DLGPROC proc, bool& flag, LPARAM param);
template <DLGPROC Proc>
INT_PTR RunSubDialog(HWND owner, int templateId, bool& flag, LPARAM param = 0) {
  return RunSubDialogWith(owner, templateId, GuardedDialogProc<Proc>, flag, param);
}

// Highlights the menu item of the current panel (and only it).
void HighlightPanelItem();

// Centres a modal dialog on the work area the shell keeps (halves truncated), keeping its size.
void CentreOnDesktop(HWND dialog);

}  // namespace kv
