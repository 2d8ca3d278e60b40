#include "rollbook/cfb/PlatformFile.h"
#include "shell/platform/ProcessList.h"

namespace zelvano::xls::platform
{

namespace
{

// The LibreOffice profile a command line names, empty for the default one.
std::string profileOf(const std::string& commandLine)
{
    const std::string key = "-env:UserInstallation=";
    for (std::size_t at = 0; at < commandLine.size(); at = commandLine.find('\0', at) + 1) {
        if (commandLine.compare(at, key.size(), key) == 0)
            return commandLine.substr(at + key.size(),
                                      commandLine.find('\0', at) - at - key.size());
        if (commandLine.find('\0', at) == std::string::npos)
            break;
    }
    return {};
}

bool sameProfile(const std::string& started, std::string_view wanted)
{
    if (wanted.empty())
        return true;
    if (started.empty()) // the default profile, under the user's .config
        return wanted.ends_with("/libreoffice/4") || wanted.ends_with("/libreoffice/4/");
    auto trim = [](std::string_view s) { return s.ends_with('/') ? s.substr(0, s.size() - 1) : s; };
    return trim(started) == trim(wanted);
}

} // namespace

HeldBy findProgram(std::initializer_list<std::string_view> names, std::string_view user,
                   std::string_view profile)
{
    namespace system = ::zelvano::platform;
    for (const system::ProcessInfo& process : system::listProcesses(user)) {
        const std::string image = system::programName(process.imageName);
        // Where the system does not tell the arguments (Windows), any
        // profile is taken to be the one asked for.
        const bool profileMatches =
            process.commandLine.empty() || sameProfile(profileOf(process.commandLine), profile);
        for (std::string_view n : names) {
            if (!image.empty() && image == system::programName(n) && profileMatches)
                return {true, process.pid, image};
        }
    }
    return {};
}

} // namespace zelvano::xls::platform
