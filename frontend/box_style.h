// The front-end's message boxes: their captions and types. Every box is owned by the dialog,
// system-modal and brought to the foreground, without an icon.
#pragma once

#include <windows.h>

// Refused entries, and a converter that cannot start or ends in silence.
inline constexpr char kErrorCaption[] = "エラー";
// The question before a run.
inline constexpr char kQuestionCaption[] = "確認";
// The notice after every run.
inline constexpr char kCompletionCaption[] = "確認";
// The converter's own error text: no caption at all.
inline constexpr char kConverterTextCaption[] = "";

// Errors, notices and the converter's text.
inline constexpr UINT kNoticeBoxType = MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND;
// The confirmation question; Yes is the default button.
inline constexpr UINT kQuestionBoxType = MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND;
