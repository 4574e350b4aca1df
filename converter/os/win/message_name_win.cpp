#include <windows.h>

#include <algorithm>

#include "common/wide_text.h"
#include "marked_names.h"
#include "message_name.h"

namespace tamarack {

std::string MessageName(const std::string& name) {
  const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
  std::string cp932;
  if (std::none_of(name.begin(), name.end(), isControl) &&
      Cp932FromWideExactly(WideFrom(CP_UTF8, name), cp932)) {
    return cp932;
  }
  std::string marked = name;
  std::replace_if(marked.begin(), marked.end(), isControl, '?');
  return kNameStart + marked + kNameEnd;
}

}  // namespace tamarack
