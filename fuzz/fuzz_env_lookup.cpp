// Fuzzes the environment lookup against the matching rule, modelled here on its own: an entry
// matches when its first bytes equal the name with ASCII letters folded and the next byte is '=';
// the first match wins; an empty name is never set.
//
// Input: the name, a 0x01 byte, then the entries separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_shared.h"

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

const char* ModelLookup(const std::vector<std::string>& entries, const std::vector<std::size_t>& offsets,
                        const std::string& block, const std::string& name) {
  if (name.empty()) return nullptr;
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const std::string& entry = entries[e];
    if (entry.size() <= name.size() || entry[name.size()] != '=') continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) same = Fold(entry[i]) == Fold(name[i]);
    if (same) return block.c_str() + offsets[e] + name.size() + 1;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const char* split = static_cast<const char*>(std::memchr(bytes, 1, size));
  if (split == nullptr) return 0;
  const std::string name(bytes, split);
  if (name.find('\0') != std::string::npos) return 0;  // a C name ends at its first NUL

  // An empty entry would end the block; the platforms never hand one over.
  std::vector<std::string> entries;
  std::vector<std::size_t> offsets;
  std::string block;
  std::string entry;
  for (const char* p = split + 1; p <= bytes + size; ++p) {
    if (p == bytes + size || *p == '\0') {
      if (!entry.empty()) {
        offsets.push_back(block.size());
        entries.push_back(entry);
        block += entry;
        block.push_back('\0');
      }
      entry.clear();
    } else {
      entry.push_back(*p);
    }
  }

  const char* found = FindEnvValue(block.c_str(), name.c_str());
  if (found != ModelLookup(entries, offsets, block, name)) std::abort();
  return 0;
}
