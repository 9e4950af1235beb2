#include "win_commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "commands.h"
#include "factory.h"
#include "form_settings.h"
#include "pentrax_version.h"
#include "registry_placements.h"
#include "registry_settings_store.h"
#include "wide_text.h"

namespace pentrax::win {

Reading ReadCommandLine(std::string_view program) {
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) {
    // "/?": how Windows programs are asked for their usage.
    const std::string argument = Utf8(__wargv[i]);
    arguments.push_back(argument == "/?" ? "--help" : argument);
  }
  const cli::Parsed parsed = cli::Parse(arguments);
  const auto notUnderstood = [](std::string error, bool json) {
    std::string answer = json ? cli::FailureAnswer(nullptr, error) : "";
    return Reading{std::nullopt, std::move(error), cli::kUsage,
                   std::move(answer)};
  };
  if (!parsed.options) {
    return notUnderstood(parsed.error, parsed.json);
  }
  const std::string application = settings::ExecutableBaseName();
  if (parsed.options->version) {
    return {std::nullopt, application + " " + PENTRAX_VERSION_TEXT, 0};
  }
  if (parsed.options->help) {
    return {std::nullopt, cli::Usage(program, BackendChoices(),
                                     "HKEY_CURRENT_USER\\Software\\" +
                                         application + "\\Settings")};
  }
  if (std::string error = UnknownBackend(parsed.options->backend);
      !error.empty()) {
    return notUnderstood(std::move(error), parsed.options->json);
  }
  return {parsed.options, {}, 0, {}};
}

int RunCommand(const cli::Options& options,
               const std::function<void(std::string_view)>& out,
               const std::function<void(std::string_view)>& err) {
  std::string error;
  const auto wm = CreateWindowManager({}, error);
  if (!wm) {
    err(error + "\n");
    return cli::kNothing;
  }
  const std::string application = settings::ExecutableBaseName();
  settings::RegistrySettingsStore store(application);
  settings::RegistryPlacements placements(application);
  cli::Environment env{*wm,
                       placements,
                       [&](std::int32_t width, std::int32_t height) {
                         return settings::SavedChoices(store, *wm, width,
                                                       height);
                       },
                       out,
                       err,
                       [](int milliseconds) {
                         Sleep(static_cast<DWORD>(milliseconds));
                         return true;
                       }};
  return cli::Run(options, env);
}

}  // namespace pentrax::win
