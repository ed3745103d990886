#include "tools/vexacfg/vexacfg.h"

#include <memory>
#include <string_view>

#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/model/config_check.h"
#include "vexa/codec/profile_codec.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexacfg dump FILE                       print a configuration file as text\n"
    "       vexacfg convert --to text|binary IN OUT  convert between the two forms\n"
    "       vexacfg check FILE                      list every problem of a command configuration\n";

std::unique_ptr<CProfileTree> load(const std::string& file) {
  auto tree = std::make_unique<CProfileTree>();
  readProfile(readFileBytes(file), *tree);
  return tree;
}

int convert(std::string_view to, const std::string& in, const std::string& out, std::ostream& err) {
  ProfileEncoding encoding;
  if (to == "text") {
    encoding = ProfileEncoding::Text;
  } else if (to == "binary") {
    encoding = ProfileEncoding::Binary;
  } else {
    err << "vexacfg: --to takes \"text\" or \"binary\", not \"" << to << "\"\n";
    return 2;
  }
  writeFileAtomically(out, writeProfile(*load(in), encoding));
  return 0;
}

int check(const std::string& file, std::ostream& out) {
  const auto problems = checkCommandKeys(*load(file));
  for (const auto& p : problems) out << "[" << p.path << "] " << p.message << "\n";
  out << file << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << "\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace

int runVexacfg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string verb = args.empty() ? std::string() : args[0];
  try {
    if (verb == "dump" && args.size() == 2) {
      out << writeProfileText(*load(args[1]));
      return 0;
    }
    if (verb == "check" && args.size() == 2) return check(args[1], out);
    if (verb == "convert" && args.size() == 5 && args[1] == "--to") return convert(args[2], args[3], args[4], err);
  } catch (const VexaError& e) {
    err << "vexacfg: " << e.what() << "\n";
    return 2;
  }
  err << kUsage;
  return 2;
}

}  // namespace vexa
