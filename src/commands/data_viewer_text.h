// What the information and data viewer shows: the files of the last save, read back from the
// disk line by line, in the mode the user last chose, with its headings.
#pragma once

#include <string>
#include <vector>

namespace zek {

enum class DataViewMode { Both, InformationOnly, DataOnly };

/// The captions that go with a mode once a button has chosen it.
struct DataViewCaptions {
    const char* informationButton;  ///< `Button1`
    const char* dataButton;         ///< `Button2`
    const char* window;
};
DataViewCaptions CaptionsOf(DataViewMode mode);

/// `Button1` ("View Information Only") and `Button2` ("View Data Only") each toggle between
/// their own view and both files.
DataViewMode AfterInformationButton(DataViewMode mode);
DataViewMode AfterDataButton(DataViewMode mode);

/// Appends the viewer's lines for `mode` to `lines`: the information file (without its first
/// line, the advice on fonts) under its heading, then the data file under its heading.
/// `infoFileName` is looked for in the folder of `dataFileName`. Throws `FileError` when a file
/// cannot be read; the lines added so far stay.
void AppendViewerLines(DataViewMode mode, const std::string& dataFileName,
                       const std::string& infoFileName, std::vector<std::string>& lines);

}  // namespace zek
