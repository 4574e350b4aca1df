#include "frontend/converter_dialog.h"

#include <string>

#include "framework/file_dialog.h"
#include "resources/resource.h"

const char* const OutputFieldNames[] = {"宛先名", "姓", "名", "EMAIL", "会社名", "部署", ""};

const char kDefaultDomain[] = "co.jp";

namespace {

const char kTitle[] = "Tamarack";
const char kFieldColumnTitle[] = "出力項目";
const char kCsvFilter[] = "CSVﾌｧｲﾙ(*.csv)|*.csv||";

// Posted to the dialog when its scaling changes: the column is fitted once the dialog manager
// has rescaled the list.
const UINT kFitFieldColumn = WM_APP + 1;
// Posted to the dialog as it is initialised when a start path was refused: the error boxes come
// from the loop, over the dialog that owns them.
const UINT kReportStartPaths = WM_APP + 2;

}  // namespace

LRESULT ConverterDialog::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog(wParam, lParam);
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another scaling: the dialog manager resizes the dialog and its
      // controls after this procedure has returned FALSE.
      PostMessageA(hwnd, kFitFieldColumn, 0, 0);
      return DefaultProc(hwnd, msg, wParam, lParam);
    case kFitFieldColumn:
      FitFieldColumn();
      return 0;
    case kReportStartPaths:
      ReportStartPaths();
      return 0;
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefaultProc(hwnd, msg, wParam, lParam);
  }
}

LRESULT ConverterDialog::OnInitDialog(WPARAM, LPARAM) {
  SetSmallIcon(IDI_TAMARACK);
  SetTitle(kTitle);
  CenterWindow(GetDesktopWindow(), GetHandle());
  // The path boxes hold UTF-16, which every file name fits, and any length of it.
  inputPath_.AttachUnicodeById(GetHandle(), IDC_INPUT_PATH);
  outputPath_.AttachUnicodeById(GetHandle(), IDC_OUTPUT_PATH);
  inputPath_.SetLimitText(0);
  outputPath_.SetLimitText(0);
  domain_.AttachById(GetHandle(), IDC_DOMAIN);
  useFullName_.AttachById(GetHandle(), IDC_USE_FULLNAME);
  fieldList_.AttachById(GetHandle(), IDC_FIELD_LIST);
  fieldList_.AddExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  FillFieldList();
  domain_.SetText(kDefaultDomain);
  // Both, so that each box holds what it can before any box is reported.
  const bool inputTaken = SetPathText(inputPath_, startInput_);
  const bool outputTaken = SetPathText(outputPath_, startOutput_);
  if (!inputTaken || !outputTaken) PostMessageA(GetHandle(), kReportStartPaths, 0, 0);
  DragAcceptFiles(GetHandle(), TRUE);
  // 0: the dialog manager sets no default focus.
  return 0;
}

void ConverterDialog::FillFieldList() {
  fieldList_.InsertColumn(kFieldColumnTitle, 0, 0, LVCFMT_LEFT);
  for (int row = 0; OutputFieldNames[row][0] != '\0'; ++row) {
    fieldList_.InsertItem(OutputFieldNames[row], row, 0, -1);
  }
  // The list shows its rows in list mode, whose column width is its own, sized to the texts
  // as rows come: set once they are all in.
  FitFieldColumn();
}

void ConverterDialog::FitFieldColumn() {
  RECT client{};
  GetClientRect(fieldList_.GetHandle(), &client);
  fieldList_.SetColumnWidth(0, client.right);
}

LRESULT ConverterDialog::OnCommand(WPARAM wParam, LPARAM) {
  // Any notification of a listed control acts as a click.
  switch (LOWORD(wParam)) {
    case IDOK:
      OnStart();
      break;
    case IDCANCEL:
      SendMessage(WM_CLOSE, 0, 0);
      break;
    case IDC_BROWSE_INPUT:
      OnBrowseInput();
      break;
    case IDC_BROWSE_OUTPUT:
      OnBrowseOutput();
      break;
    case IDC_MOVE_UP:
      OnMoveUp();
      break;
    case IDC_MOVE_DOWN:
      OnMoveDown();
      break;
    case IDC_SELECT_ALL:
      OnSelectAll();
      break;
    default:
      break;
  }
  return 0;
}

// A cancelled browse leaves the path box as it was; a chosen file replaces its text.
void ConverterDialog::OnBrowseInput() {
  if (requestActive_) return;
  std::wstring path;
  FileDialog dialog;
  if (dialog.ShowOpen(GetHandle(), path)) TakePath(inputPath_, path);
}

void ConverterDialog::OnBrowseOutput() {
  if (requestActive_) return;
  std::wstring path;
  FileDialog dialog;
  dialog.SetFilter(kCsvFilter);
  if (dialog.ShowSave(GetHandle(), path)) TakePath(outputPath_, path);
}

void ConverterDialog::OnMoveUp() { fieldList_.MoveSelectedUp(); }

void ConverterDialog::OnMoveDown() { fieldList_.MoveSelectedDown(); }

void ConverterDialog::OnSelectAll() {
  for (int row = 0; row < fieldList_.GetItemCount(); ++row) fieldList_.SetCheck(row, 1);
}
