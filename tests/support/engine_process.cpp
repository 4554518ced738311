#include "support/engine_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

std::string EngineBinary() { return VOSTRAK_BINARY; }
static long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

EngineProcess::EngineProcess(const std::vector<std::string>& args, const std::string& workingDir,
                             const std::string& binary) {
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe failed");
  signal(SIGPIPE, SIG_IGN);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    std::vector<std::string> all{binary.empty() ? EngineBinary() : binary};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  in_ = toChild[1];
  out_ = fromChild[0];
}

EngineProcess::~EngineProcess() {
  CloseInput();
  if (!WaitExit(2000)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  close(out_);
}

void EngineProcess::Send(const std::string& line) {
  const std::string text = line + "\n";
  if (in_ >= 0 && write(in_, text.data(), text.size()) < 0) return;  // engine gone: later reads fail
}

void EngineProcess::CloseInput() {
  if (in_ >= 0) close(in_);
  in_ = -1;
}

std::optional<std::string> EngineProcess::ReadLine(int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (std::size_t end; (end = buffer_.find('\n')) == std::string::npos;) {
    pollfd fd{out_, POLLIN, 0};
    const long long left = deadline - NowMs();
    if (left <= 0) return std::nullopt;
    if (poll(&fd, 1, int(left)) <= 0) continue;
    char chunk[4096];
    const ssize_t n = read(out_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, size_t(n));
  }
  const std::size_t end = buffer_.find('\n');
  std::string line = buffer_.substr(0, end);
  buffer_.erase(0, end + 1);
  return line;
}

std::optional<std::string> EngineProcess::ReadUntil(const std::string& prefix, int timeoutMs,
                                                    std::vector<std::string>* seen) {
  const long long deadline = NowMs() + timeoutMs;
  for (long long left; (left = deadline - NowMs()) > 0;) {
    auto line = ReadLine(int(left));
    if (!line) break;
    if (seen) seen->push_back(*line);
    if (line->starts_with(prefix)) return line;
  }
  return std::nullopt;
}

std::optional<int> EngineProcess::WaitExit(int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (int status = 0; !status_; usleep(2000)) {
    if (waitpid(pid_, &status, WNOHANG) == pid_)
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else if (NowMs() >= deadline) break;
  }
  return status_;
}
