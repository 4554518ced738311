// Files and directories, with '/' as the separator.
#pragma once

#include <string>
#include <vector>

bool FileExists(const std::string& path);
// Whole text file as lines (line ends removed); false when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);
// Creates or replaces the file with these lines; false on failure.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);
bool RenameFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& path);
std::string CurrentDirectory();
// Directory holding the running executable, or "" when unknown.
std::string ExecutableDirectory();
// The folder that holds `path` ("/" for "/" itself); `path` is a
// directory's or a file's, without a trailing '/'.
std::string ParentDirectory(const std::string& path);
// "dir" + "/" + "name".
std::string JoinPath(const std::string& directory, const std::string& name);
