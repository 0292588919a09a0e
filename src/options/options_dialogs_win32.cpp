// The corrections and gas level sensor dialogs' procedures: messages become calls of the dialog
// logic; both poll on their own timer 2 while the options panel waits.
#include "options/options_dialogs_win32.h"

#include "files/text_win32.h"
#include "options/corrections.h"
#include "options/gas_sensor.h"
#include "options_ids.h"
#include "shell/panels_win32.h"
#include "shell/program.h"
#include "ui/canvas_win32.h"
#include "ui/controls_win32.h"

namespace kv {
namespace {

void InitDialog(HWND dialog, int captionText) {
  CentreOnDesktop(dialog);
  SetWindowTextW(dialog, Widen(TheProgram().texts[captionText]).c_str());
}

INT_PTR CALLBACK CorrectionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      DialogControls controls(dialog);
      FillCorrectionsLists(controls);
      ApplyCorrectionsTexts(TheProgram().texts, controls);
      InitDialog(dialog, kCorrectionsCaptionText);
      return TRUE;
    }
    case WM_PAINT:
      ArmPollTimer(dialog, kDialogTimer);
      return FALSE;  // the default dialog painting follows
    case WM_TIMER:
      OnPollTimer(dialog, wParam, kDialogTimer, [dialog] {
        DialogControls controls(dialog);
        return CorrectionsTick(TheProgram(), controls);
      });
      return TRUE;
    case WM_COMMAND: {
      DialogControls controls(dialog);
      const int end = CorrectionsCommand(TheProgram(), controls, LOWORD(wParam), HIWORD(wParam));
      if (end != 0) EndDialog(dialog, end);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void GasSensorPaint(HWND dialog) {
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
  ArmPollTimer(dialog, kDialogTimer);
  DialogControls controls(dialog);
  GdiCanvas canvas(dialog);
  GasSensorPainted(controls, canvas);
}

INT_PTR CALLBACK GasSensorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      DialogControls controls(dialog);
      InitGasSensorDialog(TheProgram().texts, controls);
      InitDialog(dialog, kGasSensorCaptionText);
      return TRUE;
    }
    case WM_PAINT:
      GasSensorPaint(dialog);
      return TRUE;
    case WM_TIMER:
      OnPollTimer(dialog, wParam, kDialogTimer, [dialog] {
        DialogControls controls(dialog);
        GdiCanvas canvas(dialog);
        return GasSensorTick(TheProgram(), controls, canvas);
      });
      return TRUE;
    case WM_HSCROLL: {
      DialogControls controls(dialog);
      GasSensorScroll(TheProgram(), controls, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)),
                      LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return TRUE;
    }
    case WM_COMMAND: {
      DialogControls controls(dialog);
      const int end = GasSensorCommand(TheProgram(), controls, LOWORD(wParam), HIWORD(wParam));
      if (end != 0) EndDialog(dialog, end);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// However a dialog ended, a list it left open or a drag it left unfinished must not keep the
// pollers silent for good: its lists and bars are gone.
void ClearDialogState() {
  TheProgram().shared.listOpen = false;
  TheProgram().options.dragging = false;
}

}  // namespace

void RunCorrectionsDialog(HWND owner) {
  RunSubDialog<CorrectionsProc>(owner, IDD_CORRECTIONS, TheProgram().shared.correctionsOpen);
  ClearDialogState();
}

void RunGasSensorDialog(HWND owner) {
  RunSubDialog<GasSensorProc>(owner, IDD_GAS_SENSOR, TheProgram().shared.subDialogOpen);
  ClearDialogState();
}

}  // namespace kv
