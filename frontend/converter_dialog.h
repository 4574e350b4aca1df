// The main dialog: paths, output fields and e-mail options, and the conversion it starts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/controls.h"
#include "framework/window.h"
#include "frontend/quit_keeper.h"

// The six output fields in their initial order, ended by an empty name. The names are passed
// to the converter as they stand (code page 932).
extern const char* const OutputFieldNames[];

// The domain suffix the domain box starts with.
extern const char kDefaultDomain[];

// Its parts live in one file each:
//   converter_dialog.cpp    initialisation, the command dispatch, the list and browse buttons
//   conversion_request.cpp  OnStart: the entries, their checks, the question, the run
//   path_entry.cpp          paths that arrive in UTF-16: the start paths, browsing, drops' paths
//   file_drop.cpp           OnDropFiles: which box a dropped file goes to, or why not
// The run itself is RunConverter (converter_runner.h).
class ConverterDialog : public Dialog {
 public:
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  // The paths the two boxes start with (the program's command line), in UTF-16; call before
  // the dialog is created. A path that code page 932 cannot hold exactly leaves its box empty
  // and is reported in an error box as soon as the dialog's loop runs.
  void SetStartPaths(const std::wstring& input, const std::wstring& output);

  // The start button: checks the entries, composes the converter's command line, asks for
  // confirmation, runs the converter and reports that processing has finished. Refused while a
  // request is under way.
  void OnStart();

 private:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  void FillFieldList();
  // The list's one column as wide as the list, at any display scaling.
  void FitFieldColumn();
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  // Both refused while a request is under way: the boxes show what is converted.
  void OnBrowseInput();
  void OnBrowseOutput();
  void OnMoveUp();
  void OnMoveDown();
  void OnSelectAll();
  // A file dropped on the output path box becomes the output path, when it may (no existing
  // file, or a ".csv"); dropped anywhere else, the input path. Of several files the first is
  // taken; a folder, or another file on the output box, is refused with an error box, and so is
  // any drop while a request is under way.
  void OnDropFiles(HDROP drop);
  // Puts path into box when code page 932 holds it exactly; false, with the box unchanged, when
  // it does not. The system's own conversion would put a look-alike in place of a character
  // that code page 932 lacks (e for é, the backslash for ¥): the name of another file.
  bool SetPathText(EditBox& box, const std::wstring& path);
  // SetPathText, or else an error box that names path and tells what to do.
  void TakePath(EditBox& box, const std::wstring& path);
  // The error boxes for start paths that SetPathText refused when the dialog was initialised.
  void ReportStartPaths();
  // An error box owned by the dialog. Paths can arrive while a conversion runs (drops, browsing):
  // the box keeps a pending quit as the conversion's boxes do.
  void ShowError(const std::string& text);
  // The checked rows' names in the order the user arranged them, each followed by a blank.
  std::string CheckedFieldNames();
  // While the converter runs, 変換開始 and the browse buttons are greyed and the path boxes
  // read-only: what the boxes show is what is converted. Nothing once the dialog has gone.
  void ShowRunning(bool running);

  ListView fieldList_;
  EditBox inputPath_;
  EditBox outputPath_;
  EditBox domain_;
  CheckBox useFullName_;
  std::wstring startInput_;
  std::wstring startOutput_;
  // A quit request that arrives during a conversion, until the outermost request has ended.
  QuitKeeper quitKeeper_;
  // From the start of a request to its end.
  bool requestActive_ = false;
};
