// The program's start-up and its one message loop.
#pragma once

#include <windows.h>

#include "framework/window.h"

// Creates dialog from template 101, shows it, warns when the process's code page is not 932,
// and runs the message loop until WM_QUIT. Returns the quit code; 0 after the start-up warning
// when the dialog cannot be created.
int RunApplication(Dialog& dialog);

// Fetches and routes messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Offers keyboard and mouse messages to the ancestors of their target for dialog navigation,
// then translates and dispatches what none of them consumed. msg is in the Unicode form, as
// GetMessageW fetches it.
void RouteMessage(MSG& msg);
