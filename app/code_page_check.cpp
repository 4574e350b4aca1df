#include "app/code_page_check.h"

#include "common/wide_text.h"

namespace {

const wchar_t kCaption[] = L"Tamarack";

}  // namespace

std::wstring CodePageWarning(UINT codePage) {
  if (codePage == kShiftJis) return std::wstring();
  const std::wstring number = std::to_wstring(codePage);
  return L"この Windows では日本語の文字が正しく表示されません（コード ページ " + number +
         L"）。\n"
         L"Windows 11 以降を使うか、システム ロケールを日本語にしてください"
         L"（コントロール パネルの「地域」→「管理」→「Unicode 対応ではないプログラムの言語」。"
         L"「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」はオフにします）。\n\n"
         L"Japanese text cannot be shown correctly on this Windows (code page " +
         number +
         L").\n"
         L"Use Windows 11 or later, or set the system locale to Japanese (Control Panel, Region, "
         L"Administrative, Language for non-Unicode programs, with \"Beta: Use Unicode UTF-8 for "
         L"worldwide language support\" switched off).";
}

void WarnAboutCodePage(HWND owner, UINT codePage) {
  const std::wstring warning = CodePageWarning(codePage);
  // Wide text: a narrow one would pass through the very code page that garbles it.
  if (!warning.empty()) MessageBoxW(owner, warning.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}
