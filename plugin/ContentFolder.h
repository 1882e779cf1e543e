#pragma once

#include <string>

namespace voltara {

// The folder the installer put the factory content in, recorded as the
// machine-wide registry value "Install Path".
class ContentFolder {
public:
    // Longest recorded folder kept, before the separator is added.
    static constexpr size_t maxValueLength = 254;

    // The folder the registry names; not found when the value is missing.
    static ContentFolder fromRegistry();
    // Records folder as the content folder in the Install Path value (the NUL-terminated text unchanged)
    // and tells the user what to do next. False when it cannot be recorded.
    static bool storeInstallPath(const char* folder);
    // Why the folder a user chose cannot be the content folder, in words for
    // the user (what is missing); empty when it holds what the plug-in reads
    // from it at its next load, read by the rules the plug-in reads them with.
    static std::string whyNotContent(const char* folder);
    // Tells the user why the folder they chose cannot be the content folder;
    // true when it can.
    static bool acceptChosen(const char* folder);

    // value: the raw registry bytes. The folder ends at the first NUL, CR or
    // LF and loses its trailing blanks; an empty or overlong folder is not
    // found.
    explicit ContentFolder(const std::string& value);

    bool isFound() const { return !path_.empty(); }
    // Ends in the platform's separator once found.
    const std::string& path() const { return path_; }
    // Installed content holds the players' style data; only its presence as
    // a regular file counts.
    bool hasStyleData() const;
    std::string defaultBankPath() const;

private:
    std::string path_;
};

} // namespace voltara
