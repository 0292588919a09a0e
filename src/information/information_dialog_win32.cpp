// The information dialog's procedure: messages become calls of the dialog logic. The panel state
// lives with the window (DWLP_USER) and goes with it.
#include <windows.h>

#include <new>
#include <string>

#include "information/information.h"
#include "information_ids.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

InformationState* StateOf(HWND dialog) {
  return reinterpret_cast<InformationState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

Date LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

// Places each control for the current scale factors.
void ApplyInformationLayout(HWND panel) {
  const ShellState& shell = TheProgram().shell;
  DialogControls controls(panel);
  PlaceInformationControls(shell.scaleX, shell.scaleY, controls);
}

void FitToWindow(HWND dialog) {
  const ShellState& shell = TheProgram().shell;
  SetWindowPos(dialog, nullptr, 0, 0, shell.windowWidth, shell.windowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyInformationLayout(dialog);
}

// While the registration number is edited, a character the code page of the language's texts
// cannot hold is taken out again as soon as it arrives (typed, pasted or set), with a beep; the
// caret stays where it was.
void RefuseUnencodable(HWND dialog) {
  const InformationState* state = StateOf(dialog);
  if (!state || !state->registrationEditing) return;
  HWND edit = GetDlgItem(dialog, IDC_INFO_REGISTRATION);
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  DWORD caret = 0;
  SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const CodePage page = CodePageForLanguage(TheProgram().settings.languageCode);
  std::wstring kept;
  DWORD keptCaret = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!ByteOf(text[i], page)) continue;
    kept += text[i];
    if (i < caret) ++keptCaret;
  }
  if (kept.size() == text.size()) return;
  SetWindowTextW(edit, kept.c_str());  // its own EN_CHANGE finds nothing more to take out
  SendMessageW(edit, EM_SETSEL, keptCaret, keptCaret);
  MessageBeep(MB_OK);
}

void Paint(HWND dialog) {
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
  FitToWindow(dialog);
}

INT_PTR CALLBACK InformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  InformationState* state = StateOf(dialog);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_PAINT:
      Paint(dialog);
      return TRUE;
    case WM_TIMER:
      if (wParam == kDialogTimer && state) {
        DialogControls controls(dialog);
        InformationTick(TheProgram(), *state, controls);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_INFO_REGISTRATION) {
        if (HIWORD(wParam) == EN_CHANGE) RefuseUnencodable(dialog);
      } else if (state) {
        DialogControls controls(dialog);
        InformationCommand(TheProgram(), *state, controls, LOWORD(wParam), HIWORD(wParam));
      }
      return TRUE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(dialog, DWLP_USER, 0);
      delete state;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateInformationDialog(HWND parent) {
  Program& program = TheProgram();
  auto* state = new (std::nothrow) InformationState;
  if (!state) return nullptr;
  HWND dialog = CreatePanelDialog<InformationProc>(parent, InformationDialog,
                                                   reinterpret_cast<LPARAM>(state));
  if (!dialog) {
    delete state;
    return nullptr;
  }
  AttachBitmap(dialog, IDC_INFO_PICTURE, IDB_INFORMATION_PICTURE);
  DialogControls controls(dialog);
  StartInformation(program, *state, controls, LocalDate());
  // Started once: the dialog keeps the period that was current when it opened.
  ArmPollTimer(dialog, kDialogTimer);
  program.shared.armedPeriod = program.link.pollPeriod;
  FitToWindow(dialog);
  return dialog;
}

void ResizeInformationDialog(HWND panel) { FitToWindow(panel); }

void RelabelInformationDialog(HWND panel) {
  DialogControls controls(panel);
  ApplyInformationTexts(TheProgram(), controls);
}

}  // namespace kv
