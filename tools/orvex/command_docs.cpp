#include "command_docs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli_error.h"
#include "commands/commands.h"
#include "commands/serve_options.h"

namespace orvex::cli {

namespace {

struct OptionDoc {
  std::vector<std::string> names;  // "-o", "--out"
  bool takesValue = false;
  std::string description;
};

struct CommandDoc {
  std::string name;
  std::string description;
  std::string usage;  // "orvex icons [OPTIONS] FILE"
  std::vector<OptionDoc> options;
  std::vector<OptionDoc> positionals;
};

std::vector<OptionDoc> OptionsOf(const CLI::App& app, bool positional) {
  std::vector<OptionDoc> options;
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_positional() != positional) continue;
    OptionDoc doc;
    if (positional) {
      doc.names.push_back(option->get_name());
    } else {
      for (const std::string& name : option->get_snames()) doc.names.push_back("-" + name);
      for (const std::string& name : option->get_lnames()) doc.names.push_back("--" + name);
    }
    doc.takesValue = option->get_items_expected_max() != 0;
    doc.description = option->get_description();
    options.push_back(std::move(doc));
  }
  return options;
}

// "Usage: orvex icons [OPTIONS] FILE\n" without its label and line end.
std::string UsageOf(const CLI::App& app, const std::string& name) {
  std::string usage = CLI::Formatter().make_usage(&app, name);
  usage = usage.substr(usage.find(':') + 2);
  while (!usage.empty() && usage.back() == '\n') usage.pop_back();
  return usage;
}

CommandDoc Describe(const CLI::App& command, const std::string& name) {
  return {command.get_name(), command.get_description(), UsageOf(command, name),
          OptionsOf(command, false), OptionsOf(command, true)};
}

// The application's own options that every command takes (--lang), without --help and
// --version.
std::vector<OptionDoc> GlobalOptions(const CLI::App& app) {
  std::vector<OptionDoc> options = OptionsOf(app, false);
  std::erase_if(options, [](const OptionDoc& option) {
    return std::find(option.names.begin(), option.names.end(), "--help") != option.names.end() ||
           std::find(option.names.begin(), option.names.end(), "--version") != option.names.end();
  });
  return options;
}

// The visible commands with the global options; the server's options from its own
// declaration, since `orvex serve` hands every argument to orvex-serve.
std::vector<CommandDoc> Commands(CLI::App& app) {
  std::vector<CommandDoc> commands;
  const std::vector<OptionDoc> global = GlobalOptions(app);
  for (const CLI::App* command :
       app.get_subcommands([](CLI::App* sub) { return !sub->get_group().empty(); })) {
    const std::string name = app.get_name() + " " + command->get_name();
    if (!command->get_prefix_command()) {
      commands.push_back(Describe(*command, name));
      if (command->get_name() != "help")
        commands.back().options.insert(commands.back().options.end(), global.begin(), global.end());
      continue;
    }
    CLI::App server(command->get_description(), command->get_name());
    ServeArguments arguments;
    DeclareServeOptions(server, arguments);
    commands.push_back(Describe(server, name));
  }
  return commands;
}

std::string Join(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
  return out;
}

std::string BashCompletion(const CLI::App& app, const std::vector<CommandDoc>& commands) {
  std::vector<std::string> names;
  names.reserve(commands.size());
  for (const CommandDoc& command : commands) names.push_back(command.name);
  std::string out = "# bash completion for " + app.get_name() + " (written by " + app.get_name() +
                    " write-docs)\n"
                    "_orvex() {\n"
                    "  local cur=${COMP_WORDS[COMP_CWORD]}\n"
                    "  local commands='" +
                    Join(names, " ") +
                    "'\n"
                    "  if [[ $COMP_CWORD -eq 1 ]]; then\n"
                    "    COMPREPLY=($(compgen -W \"$commands --help --version\" -- \"$cur\"))\n"
                    "    return\n"
                    "  fi\n"
                    "  local options=''\n"
                    "  case ${COMP_WORDS[1]} in\n";
  for (const CommandDoc& command : commands) {
    std::vector<std::string> options;
    for (const OptionDoc& option : command.options) {
      for (const std::string& name : option.names) options.push_back(name);
    }
    out += "    " + command.name + ") options='" + Join(options, " ") + "' ;;\n";
  }
  out +=
      "  esac\n"
      "  if [[ ${COMP_WORDS[1]} == help && $COMP_CWORD -eq 2 ]]; then\n"
      "    COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
      "  elif [[ $cur == -* ]]; then\n"
      "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
      "  else\n"
      "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
      "  fi\n"
      "}\n"
      "complete -o filenames -F _orvex " +
      app.get_name() + "\n";
  return out;
}

// Text inside a single-quoted zsh word, where ':' ends a description's name and brackets
// delimit an option's description.
std::string ZshText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      if (c == ':' || c == '[' || c == ']' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

std::string ZshCompletion(const CLI::App& app, const std::vector<CommandDoc>& commands) {
  std::string out = "#compdef " + app.get_name() + "\n# zsh completion for " + app.get_name() +
                    " (written by " + app.get_name() +
                    " write-docs)\n"
                    "_orvex() {\n"
                    "  local -a commands\n"
                    "  commands=(\n";
  for (const CommandDoc& command : commands)
    out += "    '" + command.name + ":" + ZshText(command.description) + "'\n";
  out +=
      "  )\n"
      "  if (( CURRENT == 2 )); then\n"
      "    _describe command commands\n"
      "    return\n"
      "  fi\n"
      "  case $words[2] in\n";
  for (const CommandDoc& command : commands) {
    out += "    " + command.name + ")\n      _arguments";
    for (const OptionDoc& option : command.options) {
      const std::string value = option.takesValue ? ":value:_files" : "";
      for (const std::string& name : option.names)
        out.append(" \\\n        '")
            .append(name)
            .append("[")
            .append(ZshText(option.description))
            .append("]")
            .append(value)
            .append("'");
    }
    if (command.name == "help")
      out += " \\\n        '1:command:_describe command commands'";
    else if (!command.positionals.empty())
      out += " \\\n        '*:file:_files'";
    out += "\n      ;;\n";
  }
  out += "  esac\n}\n_orvex \"$@\"\n";
  return out;
}

// Text for roff: backslashes and hyphens escaped, a leading '.' or '\'' kept as text.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
  return out;
}

std::string ManPage(const CLI::App& app, const std::vector<CommandDoc>& commands) {
  std::string out =
      ".TH " + std::string("ORVEX") + " 1 \"\" \"" + Roff(LibraryVersion()) +
      "\" \"User Commands\"\n"
      ".SH NAME\n" +
      app.get_name() + " \\- " + Roff("list and read the resources of Windows PE files") +
      "\n.SH SYNOPSIS\n.B " + app.get_name() + "\n.I COMMAND\n[\\fIARGUMENTS\\fR]\n.br\n.B " +
      app.get_name() + "\n\\-\\-version | \\-\\-help\n";
  if (const std::vector<OptionDoc> global = GlobalOptions(app); !global.empty()) {
    out += ".SH OPTIONS\n" + Roff("Taken by every command but serve, before or after it:") + "\n";
    for (const OptionDoc& option : global) {
      out += ".TP\n.B " + Roff(Join(option.names, ", ")) +
             (option.takesValue ? " \\fIVALUE\\fR" : "") + "\n" + Roff(option.description) + "\n";
    }
  }
  out += ".SH COMMANDS\n";
  for (const CommandDoc& command : commands) {
    out += ".TP\n.B " + Roff(command.usage) + "\n" + Roff(command.description) + "\n";
    if (command.positionals.empty() && command.options.empty()) continue;
    out += ".RS\n";
    for (const OptionDoc& option : command.positionals)
      out += ".TP\n.I " + Roff(option.names.front()) + "\n" + Roff(option.description) + "\n";
    for (const OptionDoc& option : command.options) {
      out += ".TP\n.B " + Roff(Join(option.names, ", ")) +
             (option.takesValue ? " \\fIVALUE\\fR" : "") + "\n" + Roff(option.description) + "\n";
    }
    out += ".RE\n";
  }
  out +=
      ".SH EXIT STATUS\n"
      ".TP\n.B 0\nThe command did what was asked.\n"
      ".TP\n.B 1\n" +
      Roff(
          "A failure, with one message on stderr: a file that is no PE module, a resource that "
          "does not exist or whose data lies beyond the end of the file, a file that cannot be "
          "written.") +
      "\n.TP\n.B 2\n" +
      Roff(
          "A usage error, with the message and the command's usage on stderr: no command or an "
          "unknown one, an argument or option missing or unknown, an output file of a kind the "
          "command does not write.") +
      "\n";
  return out;
}

void WriteTextFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file.flush()) throw CliError("cannot write " + path.string());
}

}  // namespace

void RegisterDocsCommand(CLI::App& app) {
  auto dir = std::make_shared<std::string>();
  CLI::App* command =
      app.add_subcommand("write-docs", "Write the shell completion scripts and the manual page");
  command->group("");  // for the build, not for users
  command->add_option("DIR", *dir, "The folder to write into")->required();
  command->callback([&app, dir] {
    const std::vector<CommandDoc> commands = Commands(app);
    const std::filesystem::path folder(*dir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    WriteTextFile(folder / "orvex.bash", BashCompletion(app, commands));
    WriteTextFile(folder / "_orvex", ZshCompletion(app, commands));
    WriteTextFile(folder / "orvex.1", ManPage(app, commands));
  });
}

}  // namespace orvex::cli
