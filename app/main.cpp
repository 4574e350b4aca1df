#include <windows.h>

#include "app/application.h"
#include "frontend/converter_dialog.h"

namespace {

// Constructed before WinMain, destroyed after it returns; its window lives inside the loop.
ConverterDialog converterDialog;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(converterDialog); }
