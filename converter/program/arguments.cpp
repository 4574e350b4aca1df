#include "arguments.h"

#include <algorithm>

#include "cp932_chars.h"
#include "message_name.h"

namespace tamarack {

bool IsPlausibleDomain(std::string_view domain) {
  if (domain.empty() || domain.size() > 253) return false;
  size_t start = 0;
  while (true) {
    size_t dot = domain.find('.', start);
    if (dot == std::string_view::npos) dot = domain.size();
    const std::string_view label = domain.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
      return false;
    }
    for (char c : label) {
      const char lower = AsciiLower(c);
      if (!((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') || c == '-')) {
        return false;
      }
    }
    if (dot == domain.size()) return true;
    start = dot + 1;
  }
}

std::string ParseArguments(const std::vector<std::string>& args, Arguments& parsed) {
  parsed = Arguments();
  if (std::find(args.begin(), args.end(), "/?") != args.end()) {
    parsed.help = true;
    return std::string();
  }
  if (args.empty() || args[0].empty()) return "入力ファイルが指定されていません";
  if (args.size() < 2 || args[1].empty()) return "出力ファイルが指定されていません";
  parsed.input = args[0];
  parsed.output = args[1];

  bool haveE = false;
  bool haveD = false;
  bool haveO = false;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::string_view option(arg);
    if (!option.empty() && option[0] == '/') {
      const std::string_view name = option.substr(0, 3);
      const std::string_view value = option.substr(std::min<size_t>(3, option.size()));
      if (EqualsIgnoreCase(name, "/E=")) {
        if (haveE) return "オプション /E が二度指定されています";
        if (!EqualsIgnoreCase(value, "FullName")) {
          return "オプション " + MessageName(arg) + " は使えません（/E=FullName のみ）";
        }
        haveE = true;
      } else if (EqualsIgnoreCase(name, "/D=")) {
        if (haveD) return "オプション /D が二度指定されています";
        haveD = true;
        std::string domain(value.substr(!value.empty() && value[0] == '@' ? 1 : 0));
        if (!domain.empty() && !IsPlausibleDomain(domain)) {
          return "ドメイン \"" + MessageName(domain) +
                 "\" が正しくありません（英数字、ピリオド、ハイフンのみ）";
        }
        for (char& c : domain) c = AsciiLower(c);
        parsed.mapping.domain = domain;
      } else if (EqualsIgnoreCase(name, "/O=")) {
        if (haveO) return "オプション /O が二度指定されています";
        haveO = true;
        if (EqualsIgnoreCase(value, "UTF-8")) {
          parsed.outputEncoding = OutputEncoding::kUtf8WithMark;
        } else if (EqualsIgnoreCase(value, "UTF-8N")) {
          parsed.outputEncoding = OutputEncoding::kUtf8;
        } else if (!EqualsIgnoreCase(value, "SJIS")) {
          return "オプション " + MessageName(arg) +
                 " は使えません（/O=SJIS、/O=UTF-8、/O=UTF-8N のいずれか）";
        }
      } else {
        return "不明なオプション " + MessageName(arg) + " です";
      }
      continue;
    }
    const std::optional<Field> field = FieldByName(arg);
    if (!field) return "不明な項目名 \"" + MessageName(arg) + "\" です";
    if (std::find(parsed.fields.begin(), parsed.fields.end(), *field) != parsed.fields.end()) {
      return "項目名 \"" + MessageName(arg) + "\" が二度指定されています";
    }
    parsed.fields.push_back(*field);
  }
  if (parsed.fields.empty()) return "出力項目が指定されていません";
  if (haveE && parsed.mapping.domain.empty()) {
    return "/E=FullName にはドメイン（/D=ドメイン）が必要です";
  }
  parsed.mapping.emailFromFullName = haveE;
  return std::string();
}

}  // namespace tamarack
