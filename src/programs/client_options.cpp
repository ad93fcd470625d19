#include "programs/client_options.h"

#include "app/prog.h"

namespace {

constexpr const char* HELP_OPTION = "--help";
constexpr const char* VERSION_OPTION = "--version";

} // namespace

const std::vector<TClientOption>& ClientOptions() {
  static const std::vector<TClientOption> options = {
      {FULL_SCREEN_OPTION, "open the game full screen instead of in an 800 x 600 window"},
      {HELP_OPTION, "list the options"},
      {VERSION_OPTION, "show the program's version"},
  };
  return options;
}

TClientRequest ClientRequest(const std::vector<std::string>& Args) {
  const std::string first = Args.size() > 1 ? Args[1] : "";
  if (first == HELP_OPTION) {
    return TClientRequest::Help;
  }
  if (first == VERSION_OPTION) {
    return TClientRequest::Version;
  }
  return TClientRequest::Play;
}

std::string ClientUsage(const std::string& Program) {
  constexpr std::size_t OptionWidth = 12;
  std::string usage = "Usage: " + Program + " [option]\n" + CLIENT_SUMMARY + "\n";
  for (const TClientOption& row : ClientOptions()) {
    const std::string option = row.Option;
    usage += "  " + option + std::string(OptionWidth - option.size(), ' ') + row.Text + "\n";
  }
  return usage;
}
