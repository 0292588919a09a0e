#include "information/information.h"

#include <cstdio>
#include <optional>

#include "files/code_page.h"
#include "information_ids.h"
#include "link/format.h"
#include "link/link.h"
#include "link/parameters.h"
#include "shell/poll.h"
#include "shell/program.h"
#include "ui/design_frame.h"

namespace kv {
namespace {

// The contact lines are texts 154..157 of the language file; 1179 and 1180 share "Change".
constexpr ControlText kTexts[] = {
    {IDC_INFO_CONTACT_1, 154},          {IDC_INFO_CONTACT_2, 155},
    {IDC_INFO_CONTACT_3, 156},          {IDC_INFO_CONTACT_4, 157},
    {IDC_INFO_PROGRAM_VERSION, 158},    {IDC_INFO_VERSION_LABEL, 159},
    {IDC_INFO_REGISTRATION_LABEL, 191}, {IDC_INFO_RUNNING_TIME_LABEL, 192},
    {IDC_INFO_DATE_LABEL, 193},         {IDC_INFO_YEAR_LABEL, 194},
    {IDC_INFO_MONTH_LABEL, 195},        {IDC_INFO_DAY_LABEL, 196},
    {IDC_INFO_REGISTRATION_CHANGE, 197}, {IDC_INFO_RUNNING_TIME_CLEAR, 199},
    {IDC_INFO_DATE_CHANGE, 197}};
constexpr int kChangeText = 197, kSaveText = 198, kOfflineText = 161, kUnsupportedText = 162;

// The controls a tick disables when no version 3 controller answers.
constexpr int kRecordControls[] = {
    IDC_INFO_REGISTRATION_LABEL, IDC_INFO_REGISTRATION, IDC_INFO_REGISTRATION_CHANGE,
    IDC_INFO_RUNNING_TIME_LABEL, IDC_INFO_RUNNING_TIME, IDC_INFO_RUNNING_TIME_CLEAR,
    IDC_INFO_DATE_LABEL,         IDC_INFO_DATE,         IDC_INFO_DATE_CHANGE};
constexpr int kDateEditor[] = {IDC_INFO_DATE_EDITOR, IDC_INFO_YEAR,       IDC_INFO_MONTH,
                               IDC_INFO_DAY,         IDC_INFO_YEAR_LABEL, IDC_INFO_MONTH_LABEL,
                               IDC_INFO_DAY_LABEL};

// One control of the layout: x and y always scaled, width and height scaled or in pixels.
struct LayoutRow {
  int control;
  int x, y, width, height;
  bool scaleWidth, scaleHeight;
};
constexpr LayoutRow kLayout[] = {
    {IDC_INFO_PICTURE, 40, 20, 280, 185, true, true},
    {IDC_INFO_CONTACT_1, 360, 20, 300, 20, true, false},
    {IDC_INFO_CONTACT_2, 360, 45, 300, 20, true, false},
    {IDC_INFO_CONTACT_3, 360, 70, 300, 20, true, false},
    {IDC_INFO_CONTACT_4, 360, 95, 300, 20, true, false},
    {IDC_INFO_SEPARATOR, 360, 125, 300, 1, true, false},
    {IDC_INFO_PROGRAM_VERSION, 360, 145, 200, 25, false, false},
    {IDC_INFO_VERSION_LABEL, 40, 240, 200, 25, false, false},
    {IDC_INFO_REGISTRATION_LABEL, 40, 290, 200, 25, false, false},
    {IDC_INFO_RUNNING_TIME_LABEL, 40, 340, 200, 25, false, false},
    {IDC_INFO_DATE_LABEL, 40, 390, 200, 25, false, false},
    {IDC_INFO_VERSION, 360, 235, 250, 25, true, false},
    {IDC_INFO_REGISTRATION, 360, 285, 100, 25, true, false},
    {IDC_INFO_RUNNING_TIME, 360, 335, 100, 25, true, false},
    {IDC_INFO_DATE, 360, 385, 100, 25, true, false},
    {IDC_INFO_REGISTRATION_CHANGE, 500, 285, 100, 25, true, false},
    {IDC_INFO_RUNNING_TIME_CLEAR, 500, 335, 100, 25, true, false},
    {IDC_INFO_DATE_CHANGE, 500, 385, 100, 25, true, false},
    {IDC_INFO_DATE_EDITOR, 20, 365, 650, 140, true, true},
    {IDC_INFO_YEAR_LABEL, 40, 445, 50, 25, false, false},
    {IDC_INFO_MONTH_LABEL, 260, 445, 50, 25, false, false},
    {IDC_INFO_DAY_LABEL, 430, 445, 50, 25, false, false},
    {IDC_INFO_YEAR, 120, 440, 100, 20, false, false},
    {IDC_INFO_MONTH, 340, 440, 70, 20, false, false},
    {IDC_INFO_DAY, 510, 440, 70, 20, false, false},
};


// Texts are set only when they change: a field rewritten at every tick would flicker and lose
// the caret.
void SetText(Controls& controls, int id, std::string_view text) {
  if (controls.Text(id) != text) controls.SetText(id, text);
}

void EnableRecord(Controls& controls, bool enabled) {
  for (int id : kRecordControls) controls.Enable(id, enabled);
}

void ShowDateEditor(Controls& controls, bool shown) {
  for (int id : kDateEditor) controls.Show(id, shown);
}

void RebuildDays(Controls& controls, int days) {
  controls.ClearList(IDC_INFO_DAY);
  for (long day = 1; day <= days; ++day)
    controls.AddListItem(IDC_INFO_DAY, FormatText("%02ld", day));
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t seen = 0; i < utf8.size(); ++i) {
    const bool lead = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
    if (lead && seen++ == count) break;
  }
  return utf8.substr(0, i);
}

void ShowOffline(const Program& program, Controls& controls) {
  SetText(controls, IDC_INFO_VERSION, program.texts[kOfflineText]);
  EnableRecord(controls, false);
  ShowDateEditor(controls, false);
  for (int id : {IDC_INFO_REGISTRATION, IDC_INFO_RUNNING_TIME, IDC_INFO_DATE})
    SetText(controls, id, "");
}

void ShowRecord(const Program& program, const InformationState& state, Controls& controls) {
  const MemoryImage& image = program.link.image;
  const LanguageTexts& texts = program.texts;
  EnableRecord(controls, true);
  SetText(controls, IDC_INFO_VERSION, ControllerVersionText(Version(image), Revision(image)));
  SetText(controls, IDC_INFO_RUNNING_TIME, RunningTimeText(image));
  if (state.dateEditing) {
    SetText(controls, IDC_INFO_DATE_CHANGE, texts[kSaveText]);
    ShowDateEditor(controls, true);
  } else {
    SetText(controls, IDC_INFO_DATE, InstallationDateText(image));
    SetText(controls, IDC_INFO_DATE_CHANGE, texts[kChangeText]);
    ShowDateEditor(controls, false);
  }
  controls.SetReadOnly(IDC_INFO_REGISTRATION, !state.registrationEditing);
  if (state.registrationEditing) {
    SetText(controls, IDC_INFO_REGISTRATION_CHANGE, texts[kSaveText]);
  } else {
    SetText(controls, IDC_INFO_REGISTRATION_CHANGE, texts[kChangeText]);
    SetText(controls, IDC_INFO_REGISTRATION,
            RegistrationText(image, CodePageForLanguage(program.settings.languageCode)));
  }
}

// Second press of IDC_INFO_REGISTRATION_CHANGE: the edit's first 7 characters, one byte each in
// the code page of the language's texts, then zeros. A character the page cannot hold is never sent as another byte:
// the edit refuses such characters, and a text that still holds one is not written at all.
void WriteRegistration(Program& program, const Controls& controls) {
  const std::optional<std::string> bytes =
      FromUtf8(FirstCharacters(controls.Text(IDC_INFO_REGISTRATION), kRegistrationLength),
               CodePageForLanguage(program.settings.languageCode));
  if (!bytes) return;
  for (std::size_t k = 0; k < kRegistrationLength; ++k) {
    const auto value = k < bytes->size() ? static_cast<std::uint8_t>((*bytes)[k]) : 0;
    WriteParameter(program.link, RegistrationParam(k), value);
  }
}

void OpenDateEditor(const InformationState& state, Controls& controls) {
  const Date& today = state.today;
  RebuildDays(controls, DaysInMonth(today.month - 1, today.year));
  // A year past the list (2063..2100) leaves the year list without a selection.
  controls.SelectListItem(IDC_INFO_DAY, today.day - 1);
  controls.SelectListItem(IDC_INFO_MONTH, today.month - 1);
  controls.SelectListItem(IDC_INFO_YEAR, today.year - kFirstYear);
}

// Second press of IDC_INFO_DATE_CHANGE: the date of the three lists; a list without a selection
// (the year after 2062) sends nothing, so no byte outside the date's encoding ever goes out.
void WriteDate(Program& program, const Controls& controls) {
  const int year = PickedIndex(controls, IDC_INFO_YEAR);
  const int month = PickedIndex(controls, IDC_INFO_MONTH);
  const int day = PickedIndex(controls, IDC_INFO_DAY);
  if (year < 0 || month < 0 || day < 0) return;
  const DateBytes date = EncodeDate(year, month, day);
  WriteParameter(program.link, Param::InstallDateLo, date.low);
  WriteParameter(program.link, Param::InstallDateHi, date.high);
}

int SelectedYear(const Controls& controls) {
  return kFirstYear + controls.ListSelection(IDC_INFO_YEAR);
}

void OnYearChanged(Controls& controls) {
  if (controls.ListSelection(IDC_INFO_MONTH) != 1) return;
  RebuildDays(controls, DaysInMonth(1, SelectedYear(controls)));
  controls.SelectListItem(IDC_INFO_DAY, 0);
}

void OnMonthChanged(Controls& controls) {
  const int month = PickedIndex(controls, IDC_INFO_MONTH);
  if (month < 0) return;
  RebuildDays(controls, DaysInMonth(month, SelectedYear(controls)));
  controls.SelectListItem(IDC_INFO_DAY, 0);
}

}  // namespace

void StartInformation(const Program& program, InformationState& state, Controls& controls,
                      Date localDate) {
  state = InformationState{};
  state.today = localDate;
  if (state.today.year < kFirstYear) state.today.year = kFirstYear;
  if (state.today.year > kLastTodayYear) state.today.year = kLastTodayYear;
  controls.LimitText(IDC_INFO_REGISTRATION, static_cast<int>(kRegistrationLength));
  controls.SetText(IDC_INFO_REGISTRATION, "");
  for (long year = kFirstYear; year < kFirstYear + kYearCount; ++year)
    controls.AddListItem(IDC_INFO_YEAR, FormatText("%ld", year));
  for (long month = 1; month <= 12; ++month)
    controls.AddListItem(IDC_INFO_MONTH, FormatText("%02ld", month));
  RebuildDays(controls, 31);
  for (int id : {IDC_INFO_YEAR, IDC_INFO_MONTH, IDC_INFO_DAY}) controls.SelectListItem(id, 0);
  ApplyInformationTexts(program, controls);
}

void ApplyInformationTexts(const Program& program, Controls& controls) {
  ApplyControlTexts(controls, kTexts, program.texts);
}

void InformationTick(Program& program, InformationState& state, Controls& controls) {
  Link& link = program.link;
  if (IdentifyForReading(link)) {
    ReadBlock(link, 5);
    ShowRecord(program, state, controls);
  } else if (link.offline) {
    // The editing flags stay: an edit begun before the link dropped resumes when it returns.
    ShowOffline(program, controls);
  } else {
    SetText(controls, IDC_INFO_VERSION, program.texts[kUnsupportedText]);
    EnableRecord(controls, false);
  }
}

void InformationCommand(Program& program, InformationState& state, Controls& controls, int id,
                        int code) {
  if (code == kButtonClicked) {
    switch (id) {
      case IDC_INFO_REGISTRATION_CHANGE:
        state.registrationEditing = !state.registrationEditing;
        if (!state.registrationEditing) WriteRegistration(program, controls);
        break;
      case IDC_INFO_DATE_CHANGE:
        state.dateEditing = !state.dateEditing;
        if (state.dateEditing) OpenDateEditor(state, controls);
        else WriteDate(program, controls);
        break;
      case IDC_INFO_RUNNING_TIME_CLEAR:
        WriteParameter(program.link, Param::LpgHoursLo, 0);
        WriteParameter(program.link, Param::LpgHoursHi, 0);
        WriteParameter(program.link, Param::LpgMinutes, 0);
        break;
      default: break;
    }
  } else if (code == kListSelectionChange) {
    if (id == IDC_INFO_YEAR) OnYearChanged(controls);
    if (id == IDC_INFO_MONTH) OnMonthChanged(controls);
  }
}

std::vector<ControlPlace> InformationLayout(double scaleX, double scaleY) {
  std::vector<ControlPlace> places;
  places.reserve(std::size(kLayout));
  for (const LayoutRow& row : kLayout) {
    places.push_back({row.control, Scaled(row.x, scaleX), Scaled(row.y, scaleY),
                      row.scaleWidth ? Scaled(row.width, scaleX) : row.width,
                      row.scaleHeight ? Scaled(row.height, scaleY) : row.height});
  }
  return places;
}

void PlaceInformationControls(double scaleX, double scaleY, Controls& controls) {
  for (const ControlPlace& p : InformationLayout(scaleX, scaleY))
    controls.Move(p.control, p.x, p.y, p.width, p.height);
}

DateBytes EncodeDate(int yearIndex, int monthIndex, int dayIndex) {
  using namespace bits::install_date;
  return {static_cast<std::uint8_t>(IntoField(monthIndex % 8, MonthLow) | IntoField(dayIndex, Day)),
          static_cast<std::uint8_t>(IntoField(yearIndex, Year) |
                                    IntoField(monthIndex / 8, MonthHigh))};
}

int DaysInMonth(int monthIndex, int year) {
  constexpr int kDays[12] = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (monthIndex == 1) return year % 4 == 0 ? 29 : 28;
  return monthIndex >= 0 && monthIndex < 12 ? kDays[monthIndex] : 31;
}

}  // namespace kv
