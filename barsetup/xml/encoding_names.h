// Encoding names and the Windows code pages they stand for.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace barsetup {

inline constexpr int kUnknownCodePage = -1;
inline constexpr int kCodePageUtf16 = 1200;  // little-endian, the wide form
inline constexpr int kCodePageUtf16Be = 1201;
inline constexpr int kCodePageUtf32Le = 12000;
inline constexpr int kCodePageUtf32Be = 12001;
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageUtf32 = 65005;  // this component's own number

// Code page of an encoding name: 0 for the empty name, kCodePageUtf32 for
// "UTF-32" and names that begin with it, the table's code page for a listed
// name (ASCII case ignored), else kUnknownCodePage.
int CodePageFromName(std::string_view name);

size_t EncodingNameCount();
void ForEachEncodingName(const std::function<void(std::string_view, int)>& visit);

}  // namespace barsetup
