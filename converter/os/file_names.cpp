#include "file_names.h"

namespace tamarack {

bool NamesDosDevice(std::string_view path) {
  if (path.substr(0, 4) == "\\\\.\\" || path.substr(0, 4) == "\\\\?\\") return false;
  const size_t slash = path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  // "C:nul" names the device too.
  if (slash == std::string_view::npos && name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
  name = name.substr(0, name.find_first_of(".:"));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  const auto is = [&name](std::string_view device) {
    if (name.size() != device.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
      const char c =
          name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
      if (c != device[i]) return false;
    }
    return true;
  };
  if (is("CON") || is("PRN") || is("AUX") || is("NUL")) return true;
  if (name.size() != 4 || name[3] < '1' || name[3] > '9') return false;
  name.remove_suffix(1);
  return is("COM") || is("LPT");
}

uint32_t NameHash(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace tamarack
