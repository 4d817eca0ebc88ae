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

#include "xml/xml_document.h"

using namespace barsetup;

static std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A directory of its own for the two files, removed with them when the run
// ends (/tmp itself if none can be made).
struct WorkDir {
  std::string path;
  bool made = false;
  WorkDir() {
    char tmpl[] = "/tmp/fuzz_xml_load_XXXXXX";
    made = mkdtemp(tmpl) != nullptr;
    path = made ? tmpl : "/tmp";
  }
  ~WorkDir() {
    std::remove((path + "/in.xml").c_str());
    std::remove((path + "/out.xml").c_str());
    if (made) rmdir(path.c_str());
  }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const WorkDir dir;
  const std::string in = dir.path + "/in.xml", out = dir.path + "/out.xml";
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
  const bool lost =
      loaded.find("<nulls_removed") != std::string::npos || loaded.find("<conversion_loss") != std::string::npos;
  if (size <= 1024 && !lost && (!converted || utf16)) {
    if (Slurp(out) != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
  }
  CXmlDocument again;
  again.LoadFile(out);
  return 0;
}
