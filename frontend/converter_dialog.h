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

class ConverterDialog : public Dialog {
 public:
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  // The paths the two boxes start with (the program's command line); call before the dialog
  // is created.
  void SetStartPaths(const std::string& input, const std::string& output);

  // The start button: checks the entries, composes the converter's command line, asks for
  // confirmation, runs the converter and reports that processing has finished.
  void OnStart();

 private:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  void FillFieldList();
  // The list's one column as wide as the list, at any display scaling.
  void FitFieldColumn();
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  void OnBrowseInput();
  void OnBrowseOutput();
  void OnMoveUp();
  void OnMoveDown();
  void OnSelectAll();
  // A file dropped on the output path box becomes the output path; dropped anywhere else, the
  // input path. Of several files the first is taken; a folder is refused with an error box.
  void OnDropFiles(HDROP drop);
  // The checked rows' names in the order the user arranged them, each followed by a blank.
  std::string CheckedFieldNames();

  ListView fieldList_;
  EditBox inputPath_;
  EditBox outputPath_;
  EditBox domain_;
  CheckBox useFullName_;
  std::string startInput_;
  std::string startOutput_;
  // A quit request that arrives during a conversion, until the outermost request has ended.
  QuitKeeper quitKeeper_;
};
