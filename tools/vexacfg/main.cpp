// vexacfg: look into and repair-check Vexa configuration files.
//   vexacfg dump FILE                      print any key-tree file as text
//   vexacfg convert --to text|binary IN OUT
//   vexacfg check FILE                     list every problem, exit 1 if any
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/model/config_check.h"
#include "vexa/presets/profile_codec.h"

namespace {

constexpr const char* kUsage =
    "usage: vexacfg dump FILE\n"
    "       vexacfg convert --to text|binary IN OUT\n"
    "       vexacfg check FILE\n";

std::unique_ptr<vexa::CProfileTree> load(const std::string& file) {
  auto tree = std::make_unique<vexa::CProfileTree>();
  vexa::readProfile(vexa::readFileBytes(file), *tree);
  return tree;
}

int dump(const std::string& file) {
  std::cout << vexa::writeProfileText(*load(file));
  return 0;
}

int convert(std::string_view to, const std::string& in, const std::string& out) {
  vexa::ProfileEncoding encoding;
  if (to == "text")
    encoding = vexa::ProfileEncoding::Text;
  else if (to == "binary")
    encoding = vexa::ProfileEncoding::Binary;
  else {
    std::cerr << "vexacfg: --to takes \"text\" or \"binary\", not \"" << to << "\"\n";
    return 2;
  }
  vexa::writeFileAtomically(out, vexa::writeProfile(*load(in), encoding));
  return 0;
}

int check(const std::string& file) {
  const auto problems = vexa::checkCommandKeys(*load(file));
  for (const auto& p : problems) std::cout << "[" << p.path << "] " << p.message << "\n";
  std::cout << file << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << "\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view verb = argc > 1 ? argv[1] : "";
  try {
    if (verb == "dump" && argc == 3) return dump(argv[2]);
    if (verb == "check" && argc == 3) return check(argv[2]);
    if (verb == "convert" && argc == 6 && std::string_view(argv[2]) == "--to") return convert(argv[3], argv[4], argv[5]);
  } catch (const vexa::VexaError& e) {
    std::cerr << "vexacfg: " << e.what() << "\n";
    return 2;
  }
  std::cerr << kUsage;
  return 2;
}
