#pragma once
// Builds small zip archives of stored (uncompressed) entries for tests.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace barsetup {

inline void Put16(std::vector<unsigned char>& b, uint32_t v) {
  b.push_back(static_cast<unsigned char>(v & 0xFF));
  b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

inline void Put32(std::vector<unsigned char>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// Entries as (name, content); the CRC fields are left zero, which the
// central-directory reader does not look at.
inline std::vector<unsigned char> StoredZip(const std::vector<std::pair<std::string, std::string>>& entries,
                                            const std::string& comment = "") {
  std::vector<unsigned char> zip;
  std::vector<unsigned char> central;
  for (const auto& [name, content] : entries) {
    const auto offset = static_cast<uint32_t>(zip.size());
    const auto size = static_cast<uint32_t>(content.size());
    Put32(zip, 0x04034b50);
    Put16(zip, 20);
    Put16(zip, 0);
    Put16(zip, 0);
    Put32(zip, 0);
    Put32(zip, 0);
    Put32(zip, size);
    Put32(zip, size);
    Put16(zip, static_cast<uint32_t>(name.size()));
    Put16(zip, 0);
    zip.insert(zip.end(), name.begin(), name.end());
    zip.insert(zip.end(), content.begin(), content.end());
    Put32(central, 0x02014b50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0);
    Put32(central, 0);
    Put32(central, size);
    Put32(central, size);
    Put16(central, static_cast<uint32_t>(name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0);
    Put32(central, offset);
    central.insert(central.end(), name.begin(), name.end());
  }
  const auto centralOffset = static_cast<uint32_t>(zip.size());
  zip.insert(zip.end(), central.begin(), central.end());
  Put32(zip, 0x06054b50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, static_cast<uint32_t>(entries.size()));
  Put16(zip, static_cast<uint32_t>(entries.size()));
  Put32(zip, static_cast<uint32_t>(central.size()));
  Put32(zip, centralOffset);
  Put16(zip, static_cast<uint32_t>(comment.size()));
  zip.insert(zip.end(), comment.begin(), comment.end());
  return zip;
}

}  // namespace barsetup

namespace barsetup {

// The entries of a zip made by StoredZip (walks the local headers).
inline std::vector<std::pair<std::string, std::string>> StoredEntries(const std::vector<unsigned char>& zip) {
  auto get16 = [&](size_t at) { return static_cast<size_t>(zip[at] | (zip[at + 1] << 8)); };
  std::vector<std::pair<std::string, std::string>> entries;
  size_t at = 0;
  while (at + 30 <= zip.size() && zip[at] == 0x50 && zip[at + 1] == 0x4b && zip[at + 2] == 3 && zip[at + 3] == 4) {
    const size_t size = get16(at + 18) | (get16(at + 20) << 16);
    const size_t nameLength = get16(at + 26);
    const size_t data = at + 30 + nameLength + get16(at + 28);
    if (data + size > zip.size()) break;
    entries.emplace_back(
        std::string(zip.begin() + static_cast<long>(at + 30), zip.begin() + static_cast<long>(at + 30 + nameLength)),
        std::string(zip.begin() + static_cast<long>(data), zip.begin() + static_cast<long>(data + size)));
    at = data + size;
  }
  return entries;
}

}  // namespace barsetup
