// Data exchange between a dialog's members and its controls, both ways, in one
// function per dialog (Dialog::DoDataExchange):
//
//   void CMyDlg::DoDataExchange(dialogkit::DataExchange& dx) {
//     dx.Control(IDC_NAME, nameEdit_);
//     dx.Text(IDC_NAME, name_);
//     dx.Radio(IDC_FIRST_CHOICE, choice_);
//     dx.Int(IDC_COUNT, count_);
//     dx.MinMaxInt(IDC_COUNT, count_, 5, 20000);
//   }
//
// Reading the controls stops at the first failing binding: it records the
// control and the message, and every later call does nothing, so the bindings
// before it have stored their values and the ones after it do not run.
// Dialog::UpdateData shows the message and focuses the control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialogkit/control.h"

namespace dialogkit {

enum class Direction { ToControls, FromControls };

// The binding that failed while reading the controls.
struct ExchangeFailure {
  int controlId;
  std::wstring message;
};

// "整数を入力してください。"
extern const wchar_t* const kNotAnIntegerMessage;
// "%1 から %2 までの整数を入力してください。" with the bounds filled in.
std::wstring OutOfRangeMessage(int minimum, int maximum);

// Reads one decimal integer the way "%d" scans: leading white space skipped,
// an optional sign, then digits; whatever follows is ignored ("440Hz" gives
// 440). Nothing when no digit comes. Values beyond 32 bits saturate, so they
// fail any range check instead of wrapping into it.
std::optional<int32_t> ScanInt(std::wstring_view text);

class DataExchange {
 public:
  DataExchange(HWND dialog, Direction direction);

  Direction direction() const { return direction_; }
  bool saving() const { return direction_ == Direction::FromControls; }
  const std::optional<ExchangeFailure>& failure() const { return failure_; }

  // Attaches `control` to the dialog's control `id` the first time, either way.
  void Control(int id, dialogkit::Control& control);

  // The whole text of the control, both ways. Never fails.
  void Text(int id, std::wstring& value);

  // To the controls: value as "%d" text. From them: ScanInt of the first 63
  // characters; fails with kNotAnIntegerMessage when there is no number
  // (value unchanged).
  void Int(int id, int32_t& value);

  // From the controls only: fails with OutOfRangeMessage when value is
  // outside minimum..maximum (the value has been stored already).
  void MinMaxInt(int id, int32_t value, int32_t minimum, int32_t maximum);

  // The radio group that starts at button `firstId` and runs up to, not
  // including, the next control with WS_GROUP; value is the index of a radio
  // button within it. To the controls: checks button `value` and unchecks the
  // rest (none checked when no index matches). From them: the index of the
  // checked button, -1 when none is.
  void Radio(int firstId, int32_t& value);

 private:
  HWND Item(int id) const;
  void Fail(int id, std::wstring message);

  HWND dialog_;
  Direction direction_;
  std::optional<ExchangeFailure> failure_;
};

}  // namespace dialogkit
