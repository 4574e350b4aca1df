// Running the converter: starting it with its standard output and error in pipes, and watching
// it to its end, draining the pipes, showing its error text and keeping the dialog alive by
// dispatching one message per pass.
#pragma once

#include <windows.h>

#include "framework/window.h"
#include "frontend/quit_keeper.h"

// Runs commandLine (writable, code page 932) as a child process without a console and watches
// it to its end. Every box is owned by owner's window, read afresh for each box. Reports a
// converter that cannot be started, one that fails (exit code 1 or 2) without a box of its
// error text, and any other non-zero exit code.
void RunConverter(const WindowHandle& owner, QuitKeeper& quit, char* commandLine);

struct RunOutcome {
  // False when the wait on the process failed and the watch ended without seeing the end.
  bool ended = false;
  // True when a box showed some of the converter's standard-error text.
  bool showedErrorText = false;
};

// Polls process until it ends, each poll waiting a few milliseconds for the end or for input.
// Every pass drains standard output (dropped), shows the next piece of standard-error text in
// a box owned by owner's window (read afresh for each box), and dispatches at most one queued
// message; a WM_QUIT it takes goes to quit. One pass follows the poll that sees the end, or a
// failed poll; in it standard error is drained until it is empty, a box for each piece.
RunOutcome WatchConverter(const WindowHandle& owner, QuitKeeper& quit, HANDLE process,
                          HANDLE outputRead, HANDLE errorRead);
