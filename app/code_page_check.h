// The start-up check of the process's code page, for a Windows that ignores the manifest's
// request for code page 932 (Windows 10 with a system locale other than Japanese, or with the
// UTF-8 option of the region settings switched on).
#pragma once

#include <windows.h>

#include <string>

// The warning for a process whose ANSI code page is codePage, in Japanese and in English and
// naming that code page; empty for 932, where every text of the program reads as it should.
std::wstring CodePageWarning(UINT codePage);

// Shows CodePageWarning(codePage), unless it is empty, in a box owned by owner; returns when
// the user has closed it.
void WarnAboutCodePage(HWND owner, UINT codePage);
