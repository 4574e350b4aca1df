#include <windows.h>

#include "app/application.h"
#include "app/start_paths.h"
#include "frontend/converter_dialog.h"
#include "frontend/output_path.h"

namespace {

// Constructed before WinMain, destroyed after it returns; its window lives inside the loop.
ConverterDialog converterDialog;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The converter is found by the platform's search for "Tamarack.exe", which would look in
  // the current folder right after the program's own. The open and save dialogs move that
  // folder to wherever the user browsed, where any file of that name could lie.
  SetEnvironmentVariableA("NoDefaultCurrentDirectoryInExePath", "1");
  const StartPaths paths = StartPathsFromCommandLine(GetCommandLineW());
  // Two address books dropped together on the icon (or sent together) start the program with
  // both: the second must not become the output, which the converter would replace.
  const std::wstring output = FullPathName(paths.output);
  converterDialog.SetStartPaths(FullPathName(paths.input),
                                MayBecomeOutput(output) ? output : std::wstring());
  return RunApplication(converterDialog);
}
