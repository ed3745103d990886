#include "tools/vexacfg/vexacfg.h"

#include <memory>
#include <optional>
#include <string_view>

#include "vexa/base/code_page.h"
#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/base/strings.h"
#include "vexa/base/utf8_path.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/config_check.h"
#include "vexa/codec/profile_codec.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexacfg [--codepage CP] dump FILE                       print a configuration file as text\n"
    "       vexacfg [--codepage CP] convert --to text|binary IN OUT  convert between the two forms\n"
    "       vexacfg [--codepage CP] check FILE                      list every problem of a command configuration\n"
    "Files hold their text in code page CP: 1252 (Windows-1252, the default, as Windows in\n"
    "Western languages writes them) or utf-8 (65001). What vexacfg prints is UTF-8.\n";

std::unique_ptr<ICodePage> codePageNamed(std::string_view name) {
  for (std::string_view n : {"1252", "cp1252", "windows-1252"})
    if (iequals(name, n)) return std::make_unique<CWindows1252>();
  for (std::string_view n : {"65001", "utf-8", "utf8"})
    if (iequals(name, n)) return std::make_unique<CUtf8CodePage>();
  return nullptr;
}

std::unique_ptr<CProfileTree> load(const std::string& file, const ICodePage& codePage) {
  auto tree = std::make_unique<CProfileTree>();
  readProfile(readFileBytes(pathFromUtf8(file)), *tree, codePage);
  return tree;
}

int convert(std::string_view to, const std::string& in, const std::string& out, const ICodePage& codePage,
            std::ostream& err) {
  ProfileEncoding encoding;
  if (to == "text") {
    encoding = ProfileEncoding::Text;
  } else if (to == "binary") {
    encoding = ProfileEncoding::Binary;
  } else {
    err << "vexacfg: --to takes \"text\" or \"binary\", not \"" << to << "\"\n";
    return 2;
  }
  writeFileAtomically(pathFromUtf8(out), writeProfile(*load(in, codePage), encoding, codePage));
  return 0;
}

int check(const std::string& file, const ICodePage& codePage, std::ostream& out) {
  const auto problems = checkCommandKeys(*load(file, codePage));
  for (const auto& p : problems) out << "[" << p.path << "] " << p.message << "\n";
  out << file << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << "\n";
  return problems.empty() ? 0 : 1;
}

}  // namespace

int runVexacfg(const std::vector<std::string>& commandLine, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = commandLine;
  std::unique_ptr<ICodePage> codePage = std::make_unique<CWindows1252>();
  if (args.size() >= 2 && args[0] == "--codepage") {
    codePage = codePageNamed(args[1]);
    if (!codePage) {
      err << "vexacfg: unknown code page \"" << args[1] << "\" (1252 or utf-8)\n";
      return 2;
    }
    args.erase(args.begin(), args.begin() + 2);
  }
  const std::string verb = args.empty() ? std::string() : args[0];
  try {
    if (verb == "dump" && args.size() == 2) {
      out << writeProfileText(*load(args[1], *codePage));
      return 0;
    }
    if (verb == "check" && args.size() == 2) return check(args[1], *codePage, out);
    if (verb == "convert" && args.size() == 5 && args[1] == "--to")
      return convert(args[2], args[3], args[4], *codePage, err);
  } catch (const VexaError& e) {
    err << "vexacfg: " << e.what() << "\n";
    return 2;
  }
  err << kUsage;
  return 2;
}

}  // namespace vexa
