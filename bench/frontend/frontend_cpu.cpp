// Front-end CPU while the converter runs: starts a copy of TamarackUI.exe beside a slow
// stand-in converter, starts a conversion as a user does, and measures over a fixed window
// inside the run the CPU time of the front-end plus that of the Wine server, over the wall
// time. Under Wine both come from /proc/<pid>/stat through drive Z: (Wine's GetProcessTimes of
// another process does not advance, and the server's time is not in it at all); the
// front-end's Linux process is the one whose command line is its path. Then measures the unpaced
// loop of spin_runner.exe the same way, and the converter alone as a baseline. Prints three
// rows of a Markdown table.
//
//   frontend_cpu.exe [wineserver-pid]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "driver/remote_ui.h"
#include "resources/resource.h"

namespace {

// The stand-in works this long; the measured window lies inside its run.
const int kConverterMs = 4500;
const DWORD kWindowMs = 3000;
// Linux reports process times in clock ticks of 1/100 s (USER_HZ) on every x86 kernel.
const double kTicksPerSecond = 100.0;

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

double ProcessCpuSeconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// The Linux process whose command line starts with the Windows path exePath, or 0.
long FindLinuxPid(const std::string& exePath) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  long pid = 0;
  do {
    const long candidate = std::strtol(found.cFileName, nullptr, 10);
    if (candidate <= 0) continue;
    std::ifstream in("Z:\\proc\\" + std::to_string(candidate) + "\\cmdline", std::ios::binary);
    std::string first;
    std::getline(in, first, '\0');
    if (lstrcmpiA(first.c_str(), exePath.c_str()) == 0) pid = candidate;
  } while (pid == 0 && FindNextFileA(search, &found));
  FindClose(search);
  return pid;
}

// utime + stime of a Linux process, in seconds; 0 without a pid.
double LinuxCpuSeconds(long pid) {
  if (pid <= 0) return 0;
  std::ifstream in("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  std::string line;
  std::getline(in, line);
  const size_t end = line.rfind(')');
  if (end == std::string::npos) return 0;
  std::istringstream fields(line.substr(end + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  // After the name: state is field 3, utime field 14, stime field 15.
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
    if (number == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
  }
  return (utime + stime) / kTicksPerSecond;
}

struct Sample {
  double process;
  double server;
  ULONGLONG tick;
};

// The measured program's CPU time: from Linux when it runs under Wine, else from Windows.
double CpuSeconds(HANDLE process, long linuxPid) {
  return linuxPid > 0 ? LinuxCpuSeconds(linuxPid) : ProcessCpuSeconds(process);
}

Sample Take(HANDLE process, long linuxPid, long serverPid) {
  return Sample{CpuSeconds(process, linuxPid), LinuxCpuSeconds(serverPid), GetTickCount64()};
}

// Measures the window and prints one row; false when the window did not lie inside the run.
bool MeasureWindow(const char* label, HANDLE process, const std::string& exePath, long serverPid,
                   const std::string& folder) {
  if (!PollUntil([&] { return FileExists(folder + "received-command-line.txt"); }, 20000)) {
    std::fprintf(stderr, "frontend_cpu: %s: the stand-in converter did not start\n", label);
    return false;
  }
  const long linuxPid = FindLinuxPid(exePath);
  const Sample before = Take(process, linuxPid, serverPid);
  Sleep(kWindowMs);
  const Sample after = Take(process, linuxPid, serverPid);
  if (FileExists(folder + "finished.txt")) {
    std::fprintf(stderr, "frontend_cpu: %s: the converter ended inside the window\n", label);
    return false;
  }
  const double wall = (after.tick - before.tick) / 1000.0;
  const double own = after.process - before.process;
  const double server = after.server - before.server;
  std::printf("| %s | %.3f | %.3f | %.2f | %.4f |\n", label, own, server, wall,
              (own + server) / wall);
  return true;
}

// Says what went wrong; false, for the measurements to return.
bool Failed(const char* what) {
  std::fprintf(stderr, "frontend_cpu: %s\n", what);
  return false;
}

bool AnswerBox(DWORD processId, int button) {
  HWND box = nullptr;
  if (!PollUntil([&] { return (box = FindMessageBox(processId)) != nullptr; }, 20000)) {
    return false;
  }
  return PressBoxButton(box, button) && PollUntil([&] { return !IsWindow(box); }, 5000);
}

bool MeasurePaced(const std::string& folder, long serverPid) {
  StartedProcess frontEnd;
  if (!frontEnd.Start(folder + "TamarackUI.exe", folder))
    return Failed("cannot start TamarackUI.exe");
  HWND dialog = nullptr;
  if (!PollUntil([&] { return (dialog = FindMainDialog(frontEnd.Id())) != nullptr; }, 20000)) {
    return Failed("the dialog did not appear");
  }
  SendMessageA(GetDlgItem(dialog, IDC_INPUT_PATH), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("in.txt"));
  SendMessageA(GetDlgItem(dialog, IDC_OUTPUT_PATH), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("out.csv"));
  PostClick(dialog, IDC_SELECT_ALL);
  PostClick(dialog, IDOK);
  if (!AnswerBox(frontEnd.Id(), IDYES)) return Failed("no confirmation to answer");
  const bool measured = MeasureWindow("front-end, paced runner (TamarackUI.exe)", frontEnd.Handle(),
                                      folder + "TamarackUI.exe", serverPid, folder);
  if (!AnswerBox(frontEnd.Id(), IDOK)) return Failed("no completion box");
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  DWORD exitCode = 0;
  frontEnd.WaitForExit(20000, exitCode);
  return measured;
}

// The converter alone, no front-end: what the Wine server spends on it and on the prefix's
// own background processes, to be set against the two rows above.
bool MeasureBaseline(const std::string& folder, long serverPid) {
  StartedProcess converter;
  if (!converter.Start(folder + "Tamarack.exe", folder, DETACHED_PROCESS)) {
    return Failed("cannot start Tamarack.exe");
  }
  const bool measured = MeasureWindow("baseline: the stand-in converter alone", converter.Handle(),
                                      folder + "Tamarack.exe", serverPid, folder);
  DWORD exitCode = 0;
  converter.WaitForExit(20000, exitCode);
  return measured;
}

bool MeasureSpinning(const std::string& folder, long serverPid) {
  StartedProcess runner;
  if (!runner.Start(folder + "spin_runner.exe", folder))
    return Failed("cannot start spin_runner.exe");
  const bool measured = MeasureWindow("unpaced loop, same run (spin_runner.exe)", runner.Handle(),
                                      folder + "spin_runner.exe", serverPid, folder);
  DWORD exitCode = 0;
  runner.WaitForExit(20000, exitCode);
  return measured;
}

// The stand-in's files that tell when it started and ended, removed before the next run.
void ClearMarkers(const std::string& folder) {
  for (const char* marker : {"received-command-line.txt", "finished.txt"}) {
    DeleteFileA((folder + marker).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long serverPid = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "tamarack-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string own = OwnFolder();
  if (!CopyFileA((own + "TamarackUI.exe").c_str(), (folder + "TamarackUI.exe").c_str(), FALSE) ||
      !CopyFileA((own + "stand_in_converter.exe").c_str(), (folder + "Tamarack.exe").c_str(),
                 FALSE) ||
      !CopyFileA((own + "spin_runner.exe").c_str(), (folder + "spin_runner.exe").c_str(), FALSE)) {
    Failed("cannot copy the programs into the bench folder");
    return 1;
  }
  SetEnvironmentVariableA("TAMARACK_STAND_IN_MS", std::to_string(kConverterMs).c_str());

  const bool paced = MeasurePaced(folder, serverPid);
  ClearMarkers(folder);
  const bool spinning = MeasureSpinning(folder, serverPid);
  ClearMarkers(folder);
  const bool baseline = MeasureBaseline(folder, serverPid);

  ClearMarkers(folder);
  for (const char* file : {"TamarackUI.exe", "Tamarack.exe", "spin_runner.exe"}) {
    DeleteFileA((folder + file).c_str());
  }
  RemoveDirectoryA(folder.c_str());
  return paced && spinning && baseline ? 0 : 1;
}
