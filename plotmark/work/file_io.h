#pragma once
// Whole-file reads and UTF-8 paths.
#include <filesystem>
#include <string>

namespace plotmark {

std::filesystem::path Utf8Path(const std::string& utf8);
std::string PathUtf8(const std::filesystem::path& path);

// Reads the file whole into `out`; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace plotmark
