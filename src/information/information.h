// The information dialog's behaviour, apart from Win32: the service record the controller keeps
// in Block 5 (registration number, running time on gas, installation date) and its version, what
// a tick shows, what the two-press editors and the clear button write. The dialog procedure
// (information_dialog_win32.cpp) only turns messages into these calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/value_texts.h"
#include "ui/controls.h"

namespace kv {

struct Program;
struct MemoryImage;

// The year list covers 2000..2062 (kFirstYear on), as far as the date's six year bits reach; the
// computer's own year is taken within 2000..2100.
inline constexpr int kYearCount = 63;
inline constexpr int kLastTodayYear = 2100;

struct Date {
  int year = kFirstYear, month = 1, day = 1;
};

// Set at each creation of the dialog.
struct InformationState {
  Date today;
  // Between the first and second press of IDC_INFO_REGISTRATION_CHANGE.
  bool registrationEditing = false;
  bool dateEditing = false;          // between the first and second press of IDC_INFO_DATE_CHANGE
};

// Creation, apart from starting timer 2: today's date (year limited to 2000..2100), the empty
// registration field limited to 7 characters, both editors closed, the three date lists filled
// with their first entries selected, and the language's captions.
void StartInformation(const Program& program, InformationState& state, Controls& controls,
                      Date localDate);
// The captions of the labels and buttons and the four contact lines, in the current language.
void ApplyInformationTexts(const Program& program, Controls& controls);

// One tick of the dialog's timer (kDialogTimer, started once at creation): identify, then the offline, version 3 or other-version view.
void InformationTick(Program& program, InformationState& state, Controls& controls);
// A WM_COMMAND from control `id` with notification `code`: the two editors' buttons, the clear
// button and the date lists.
void InformationCommand(Program& program, InformationState& state, Controls& controls, int id,
                        int code);

// Where each control goes for the scale factors: design-frame values times the scale, truncated
// toward zero, except the sizes fixed in pixels.
struct ControlPlace {
  int control;
  int x, y, width, height;
};
std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY);
void PlaceInformationControls(double scaleX, double scaleY, Controls& controls);

// The two date bytes of list indexes year 0..62, month 0..11 and day 0..30.
struct DateBytes {
  std::uint8_t low, high;
};
DateBytes EncodeDate(int yearIndex, int monthIndex, int dayIndex);
// Days of month index 0..11 in `year`; February has 29 when the year is divisible by 4.
int DaysInMonth(int monthIndex, int year);

}  // namespace kv
