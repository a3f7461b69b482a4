#include "tools/zorpack/cli.h"

#include <charconv>
#include <exception>

#include <CLI/CLI.hpp>

#include "tools/zorpack/commands.h"

namespace zorpack {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app("Builds and inspects setup packages from project descriptions (readable JSON files).", "zorpack");
  app.require_subcommand(1, 1);

  std::string project;
  std::string output;
  bool force = false;
  bool json = false;

  CLI::App* build = app.add_subcommand("build", "Build a package from a project description.");
  BuildOptions buildOptions;
  build->add_option("PROJECT.json", buildOptions.project, "The description to build")->required();
  build->add_option("-o,--output", buildOptions.output, "The package to write")->required();
  build->add_option("--engine", buildOptions.engine, "The engine executable, instead of the description's product.engine");
  build->add_option("--log", buildOptions.log, "Where the build log goes, instead of the project's build log path");
  const std::string threadRange = "1 to " + std::to_string(kMaxBuildThreads);
  build
      ->add_option("--threads", buildOptions.threads,
                   "Threads that compress, " + threadRange + " (default: one per processor); every number packs the "
                   "same bytes")
      ->check(CLI::Validator(
          [threadRange](std::string& value) -> std::string {
            int n = 0;
            const char* end = value.data() + value.size();
            auto parsed = std::from_chars(value.data(), end, n);
            if (parsed.ec == std::errc() && parsed.ptr == end && n >= 1 && n <= kMaxBuildThreads) return std::string();
            return "expected a number of threads from " + threadRange + ", not \"" + value + "\"";
          },
          ""))
      ->type_name("N");

  std::string package;
  CLI::App* list = app.add_subcommand("list", "Print the project inside a package.");
  list->add_option("PACKAGE", package, "The package to read")->required();
  list->add_flag("--json", json, "Print it as a complete project description (JSON), build outputs included");

  CLI::App* verify = app.add_subcommand("verify", "Check every packed file of a package against its index.");
  verify->add_option("PACKAGE", package, "The package to check")->required();

  ExtractOptions extractOptions;
  CLI::App* extract = app.add_subcommand("extract", "Unpack file groups of a package the way the setup does.");
  extract->add_option("PACKAGE", extractOptions.package, "The package to unpack")->required();
  extract->add_option("--dest", extractOptions.destination, "The folder that stands for the destination folder")
      ->required();
  extract->add_option("--group", extractOptions.groups, "A file group to unpack (repeatable; default: all groups)")
      ->allow_extra_args(false);
  extract->add_option("--folder", extractOptions.folders,
                      "Where a system folder goes, as ID=PATH with ID a folder number (37) or name "
                      "([SystemFolder]); files below unmapped system folders are skipped (repeatable)")
      ->allow_extra_args(false);

  CLI::App* newCommand = app.add_subcommand("new", "Write the default project of the template as a project description.");
  newCommand->add_option("PROJECT.json", project, "The description file to write")->required();
  newCommand->add_flag("-f,--force", force, "Replace the file if it exists");

  // Debugging helpers: they show what a description turns into.
  CLI::App* describe = app.add_subcommand("describe", "Load a project description and print what it holds.");
  describe->group("Debugging");
  describe->add_option("PROJECT.json", project, "The description to load")->required();
  describe->add_flag("--json", json, "Print the loaded project as complete JSON, with folders filled in");

  CLI::App* index = app.add_subcommand("index", "Write the project index (archive bytes) of a project description.");
  index->group("Debugging");
  index->add_option("PROJECT.json", project, "The description to load")->required();
  index->add_option("-o,--output", output, "The index file to write")->required();

  // Set last: subcommands made after it would inherit it.
  app.footer("Run \"zorpack COMMAND --help\" for the options of a command.");

  // CLI11 would call an unknown command a missing one.
  bool known = false;
  for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
    known = known || (!args.empty() && command->get_name() == args[0]);
  if (!args.empty() && !args[0].empty() && args[0][0] != '-' && !known) {
    err << "zorpack: unknown command \"" << args[0] << "\" (build, list, verify, extract, new, describe, index)\n"
        << "Run with --help for more information.\n";
    return kExitUsage;
  }

  std::vector<const char*> argv;
  argv.push_back("zorpack");
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e, out, err);
    return code == 0 ? kExitOk : kExitUsage;
  }

  try {
    if (build->parsed()) return BuildPackage(buildOptions, out, err);
    if (list->parsed()) return ListPackage(package, json, out, err);
    if (verify->parsed()) return VerifyPackage(package, out, err);
    if (extract->parsed()) return ExtractPackage(extractOptions, out, err);
    if (newCommand->parsed()) return NewProject(project, force, out, err);
    if (describe->parsed()) return DescribeProject(project, json, out, err);
    if (index->parsed()) return WriteIndex(project, output, out, err);
  } catch (const std::exception& e) {
    // Nothing should get here; if it does, say so rather than abort.
    err << "zorpack: " << e.what() << "\n";
    return kExitBadInput;
  }
  return kExitUsage;
}

}  // namespace zorpack
