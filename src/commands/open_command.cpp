#include "commands/open_command.h"

#include "files/parameters_file.h"
#include "files/text_file.h"

namespace zek {

void OpenParametersFile(const std::string& path, MainWindowModel& window, ProgramState& state,
                        InteractionHost& host) {
    state.setup.parametersFileName = path;
    ParametersFileReading reading;
    ReadTextFile(path, [&reading](std::istream& in) { reading = ReadParametersFile(in); });
    window.ApplyParametersFile(reading);
    if (reading.outcome != ParametersFileReading::Outcome::Complete) {
        host.ShowMessage(reading.ErrorMessage());
    }
}

Checked<ParametersFileReading> ReadWholeParametersFile(const std::string& path) {
    ParametersFileReading reading;
    try {
        ReadTextFile(path, [&reading](std::istream& in) { reading = ReadParametersFile(in); });
    } catch (const FileError& error) {
        return Refusal{error.what(), ""};
    }
    if (reading.outcome != ParametersFileReading::Outcome::Complete) {
        return Refusal{reading.ErrorMessage() + " (" + path + ")", ""};
    }
    if (const Verdict verdict = CheckDesignOf(reading)) {
        return Refusal{path + ", " + verdict->message, ""};
    }
    return reading;
}

}  // namespace zek
