#pragma once
// How an INI file's bytes become the text the INI code edits, and back. A
// file that starts with a UTF-16 byte-order mark is read and written in
// UTF-16 of the same byte order, as the Windows profile functions do; every
// other file is taken byte for byte.
#include <string>
#include <string_view>

namespace plotsend {

enum class IniFileEncoding { Bytes, Utf16Le, Utf16Be };

struct IniFileText {
  IniFileEncoding encoding = IniFileEncoding::Bytes;
  std::string text;      // UTF-8 for a UTF-16 file (without the mark), else the bytes
  std::string trailing;  // an odd last byte of a UTF-16 file, kept as it was
};

// A UTF-16 unit that is half of no pair becomes a three-byte sequence of its
// own, so that decoding and encoding give back every byte of the file.
IniFileText DecodeIniFile(std::string_view bytes);

// The bytes of `text` in the encoding of `original`, with its mark and its
// trailing byte. Bytes of `text` that are not UTF-8 become U+FFFD.
std::string EncodeIniFile(const IniFileText& original, std::string_view text);

}  // namespace plotsend
