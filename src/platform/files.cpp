#include "platform/files.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream in(path);
  if (!in) return false;
  lines.clear();
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return true;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::trunc);
  if (!out) return false;
  for (const auto& line : lines) out << line << '\n';
  return bool(out.flush());
}

bool RenameFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool DeleteFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

std::string CurrentDirectory() {
  std::error_code error;
  auto dir = fs::current_path(error);
  return error ? std::string(".") : dir.string();
}

std::string ExecutableDirectory() {
  std::error_code error;
  auto exe = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.parent_path().string();
}

std::string ParentDirectory(const std::string& path) { return fs::path(path).parent_path().string(); }

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}
