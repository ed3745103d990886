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
#include "vexa/device/lircd_import.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexacfg [--codepage CP] dump FILE                       print a configuration file as text\n"
    "       vexacfg [--codepage CP] convert --to text|binary IN OUT  convert between the two forms\n"
    "       vexacfg [--codepage CP] check FILE                      list every problem of a command configuration\n"
    "       vexacfg [--codepage CP] import-lircd FILE [--remote NAME] [--replace] --to DEVICE.vdp\n"
    "                                     add a remote described in lircd.conf syntax as learned buttons\n"
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

struct ImportArgs {
  std::string conf;
  std::optional<std::string> remote;
  std::string to;
  bool replace = false;
};

std::optional<ImportArgs> importArgs(const std::vector<std::string>& args) {
  ImportArgs a;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--remote" && i + 1 < args.size()) {
      a.remote = args[++i];
    } else if (args[i] == "--to" && i + 1 < args.size()) {
      a.to = args[++i];
    } else if (args[i] == "--replace") {
      a.replace = true;
    } else if (a.conf.empty() && !args[i].starts_with("--")) {
      a.conf = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (a.conf.empty() || a.to.empty()) return std::nullopt;
  return a;
}

// Nothing is written unless the whole remote converts: the device file keeps
// what it had, including a remote of the same name unless --replace says so.
int importLircd(const ImportArgs& a, const ICodePage& codePage, std::ostream& out, std::ostream& err) {
  const auto remotes = device::parseLircdConfig(readFileBytes(pathFromUtf8(a.conf)));
  const device::LircdRemote& chosen =
      device::chooseLircdRemote(remotes, a.remote ? std::optional<std::string_view>(*a.remote) : std::nullopt);
  const device::ImportedRemote imported = device::importLircdRemote(chosen);
  const auto target = pathFromUtf8(a.to);
  CIniFile file = CIniFile::load(target, codePage);
  if (device::deviceFileHasRemote(file, imported.name) && !a.replace) {
    err << "vexacfg: " << a.to << " already holds remote \"" << imported.name
        << "\"; --replace replaces it and all its buttons\n";
    return 2;
  }
  device::addImportedRemote(file, imported);
  file.save(target, codePage);
  out << "Imported " << imported.remote.commands.size() << " buttons of remote \"" << imported.name << "\" into "
      << a.to << "\n";
  return 0;
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
    if (verb == "import-lircd")
      if (const auto a = importArgs(args)) return importLircd(*a, *codePage, out, err);
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
