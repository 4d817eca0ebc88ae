// LoadFile on arbitrary bytes, then SaveFile: no crash, and a file that
// needed no code page conversion and lost nothing comes back byte for byte.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "xml_document.h"

using namespace barsetup;

static std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/fuzz_xml_load_XXXXXX";
    const char* d = mkdtemp(tmpl);
    return std::string(d != nullptr ? d : "/tmp");
  }();
  const std::string in = dir + "/in.xml", out = dir + "/out.xml";
  {
    std::ofstream f(in, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  CXmlDocument doc;
  doc.LoadFile(in);
  const std::string loaded = doc.GetResult();
  if (!doc.SaveFile(out)) std::abort();
  const bool converted = loaded.find("<converted_to") != std::string::npos;
  const bool utf16 = loaded.find("encoding=\"UTF-16") != std::string::npos;
  const bool lost = loaded.find("<nulls_removed") != std::string::npos ||
                    loaded.find("<conversion_loss") != std::string::npos;
  if (size <= 1024 && !lost && (!converted || utf16)) {
    if (Slurp(out) != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
  }
  CXmlDocument again;
  again.LoadFile(out);
  return 0;
}
