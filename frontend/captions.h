// The captions of the front-end's message boxes.
#pragma once

// Refused entries, and a converter that cannot start or ends in silence.
inline constexpr char kErrorCaption[] = "エラー";
// The question before a run.
inline constexpr char kQuestionCaption[] = "確認";
// The notice after every run.
inline constexpr char kCompletionCaption[] = "確認";
// The converter's own error text: no caption at all.
inline constexpr char kConverterTextCaption[] = "";
