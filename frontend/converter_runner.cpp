#include "frontend/converter_runner.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "common/system_message.h"
#include "common/unique_handle.h"
#include "frontend/box_style.h"
#include "frontend/command_line.h"
#include "frontend/error_text.h"

namespace {

const DWORD kPipeSize = 8192;
// Long enough that watching costs under 2% of a core while the converter works (each pass is
// a handful of Wine server calls), short enough that error text is on screen within about
// 50 ms of being written. Queued input and the converter's end cut the wait short.
const DWORD kPollWaitMs = 45;
// Bounds one pass's draining of standard output, so that a converter writing without pause
// cannot keep the dialog from its messages.
const int kMaxOutputReadsPerPass = 128;

DWORD BytesWaiting(HANDLE pipe) {
  DWORD waiting = 0;
  if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return 0;
  return waiting;
}

// Reads at most limit of the bytes waiting in pipe without blocking; 0 when none.
DWORD ReadWaiting(HANDLE pipe, char* buffer, DWORD limit) {
  const DWORD waiting = BytesWaiting(pipe);
  if (waiting == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(pipe, buffer, std::min(waiting, limit), &read, nullptr)) return 0;
  return read;
}

class Watch {
 public:
  Watch(const WindowHandle& owner, QuitKeeper& quit, HANDLE outputRead, HANDLE errorRead)
      : owner_(owner), quit_(quit), outputRead_(outputRead), errorRead_(errorRead) {}

  // Reads standard output until the pipe is empty; true when anything was read.
  bool DrainOutput() {
    bool readAny = false;
    for (int i = 0; i < kMaxOutputReadsPerPass; ++i) {
      if (ReadWaiting(outputRead_, outputBuffer_.data(), kPipeSize - 1) == 0) break;
      readAny = true;
    }
    return readAny;
  }

  // Reads one piece of standard error and shows it; true when anything was read.
  bool ShowNextErrorText() {
    const DWORD read =
        ReadWaiting(errorRead_, errorBuffer_.data(), static_cast<DWORD>(errorText_.Room()));
    if (read == 0) return false;
    Show(errorText_.Add(errorBuffer_.data(), read));
    return true;
  }

  void DrainErrorText() {
    while (ShowNextErrorText()) {
    }
  }

  void DispatchOneMessage() {
    // In the Unicode form, as the program's own loop takes them.
    MSG msg{};
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      quit_.Keep(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  bool ShowedErrorText() const { return showedErrorText_; }

 private:
  void Show(const std::string& text) {
    if (text.empty()) return;
    showedErrorText_ = true;
    quit_.ShowNotice(owner_.GetHandle(), text, kConverterTextCaption);
  }

  const WindowHandle& owner_;
  QuitKeeper& quit_;
  HANDLE outputRead_;
  HANDLE errorRead_;
  std::array<char, kPipeSize> outputBuffer_{};
  std::array<char, kPipeSize> errorBuffer_{};
  ErrorTextPieces errorText_;
  bool showedErrorText_ = false;
};

std::string StartFailure(const std::string& program, DWORD error) {
  return program + " を起動できませんでした。\n" + SystemMessage(error) + " (エラー " +
         std::to_string(error) + ")";
}

// The converter explains its own failures, exit codes 1 and 2, on standard error: they are
// explained when a box showed some of that text. Bytes that showed nothing (only NUL, a lone
// first byte of a double-byte character) explain nothing. Any other code (an exception, a kill
// by another program) is reported even after text it wrote before: a warning followed by a
// crash must not read as a finished conversion.
bool IsUnexplainedExit(DWORD exitCode, bool showedErrorText) {
  if (exitCode == 1 || exitCode == 2) return !showedErrorText;
  return exitCode != 0;
}

std::string ExitFailure(const std::string& program, DWORD exitCode) {
  char code[40] = {};
  std::snprintf(code, sizeof(code), "%lu (0x%08lX)", static_cast<unsigned long>(exitCode),
                static_cast<unsigned long>(exitCode));
  return program + " が終了コード " + code + " で終了しました。";
}

// Starts commandLine with both pipes as its standard output and error and watches it to its
// end. Returns the text of an error to show, empty when none; every handle is closed by then.
std::string RunChild(const WindowHandle& owner, QuitKeeper& quit, char* commandLine) {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = nullptr;
  attributes.bInheritHandle = TRUE;
  // Declared in reverse of their closing order: the process and thread handles go first, then
  // standard output's write and read ends, then standard error's.
  UniqueHandle errorRead, errorWrite, outputRead, outputWrite;
  CreatePipe(outputRead.Receive(), outputWrite.Receive(), &attributes, kPipeSize);
  CreatePipe(errorRead.Receive(), errorWrite.Receive(), &attributes, kPipeSize);

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = outputWrite.Get();
  startup.hStdError = errorWrite.Get();
  PROCESS_INFORMATION started{};
  // No console for the console converter; it finds its pipes through the inherited handles.
  if (!CreateProcessA(nullptr, commandLine, &attributes, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &started)) {
    // Taken before anything else can run and change it.
    const DWORD error = GetLastError();
    return StartFailure(ProgramName(commandLine), error);
  }
  UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);

  // The front-end keeps its copies of the write ends open, so the pipes never report their
  // end: the end of the process alone ends the watch.
  const RunOutcome outcome =
      WatchConverter(owner, quit, process.Get(), outputRead.Get(), errorRead.Get());
  DWORD exitCode = 0;
  if (outcome.ended && GetExitCodeProcess(process.Get(), &exitCode) &&
      IsUnexplainedExit(exitCode, outcome.showedErrorText)) {
    return ExitFailure(ProgramName(commandLine), exitCode);
  }
  return std::string();
}

}  // namespace

RunOutcome WatchConverter(const WindowHandle& owner, QuitKeeper& quit, HANDLE process,
                          HANDLE outputRead, HANDLE errorRead) {
  Watch watch(owner, quit, outputRead, errorRead);
  DWORD waitMs = kPollWaitMs;
  for (;;) {
    const DWORD poll =
        MsgWaitForMultipleObjectsEx(1, &process, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // The end, or a failed wait: either way one last pass, so the loop cannot spin forever.
    const bool last = poll != WAIT_TIMEOUT && poll != WAIT_OBJECT_0 + 1;
    const bool outputWasRead = watch.DrainOutput();
    if (last) {
      watch.DrainErrorText();
    } else {
      watch.ShowNextErrorText();
    }
    watch.DispatchOneMessage();
    if (last) {
      RunOutcome outcome;
      outcome.ended = poll == WAIT_OBJECT_0;
      outcome.showedErrorText = watch.ShowedErrorText();
      return outcome;
    }
    // A converter that is writing is read again at once, so the waits never slow it.
    waitMs = outputWasRead ? 0 : kPollWaitMs;
  }
}

void RunConverter(const WindowHandle& owner, QuitKeeper& quit, char* commandLine) {
  QuitKeeper::Scope active(quit);
  const std::string failure = RunChild(owner, quit, commandLine);
  if (!failure.empty()) {
    quit.ShowNotice(owner.GetHandle(), failure, kErrorCaption);
  }
}
