// Times whole processes, alternating between them round after round so that every command sees
// the same machine, and prints each one's median wall time in milliseconds. The order within a
// round is shuffled, so that no command always runs in the wake of a heavier one.
//
//   time_runs ROUNDS LABEL COMMAND [ARGS...] -- LABEL COMMAND [ARGS...] -- ...
//
// Every run gets this driver's environment and working directory, /dev/null as standard input and
// output, and must end with status 0 (a run that does not is reported and fails the driver).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: time_runs ROUNDS LABEL COMMAND [ARGS...] [-- LABEL COMMAND ...]\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  std::vector<std::string> labels;
  std::vector<std::vector<char*>> commands;
  for (int i = 2; i < argc;) {
    labels.emplace_back(argv[i++]);
    std::vector<char*> command;
    while (i < argc && std::string(argv[i]) != "--") command.push_back(argv[i++]);
    command.push_back(nullptr);
    commands.push_back(command);
    if (i < argc) ++i;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<std::vector<double>> times(commands.size());
  std::vector<std::size_t> order(commands.size());
  for (std::size_t c = 0; c < order.size(); ++c) order[c] = c;
  std::mt19937 shuffle(12345);
  for (int round = 0; round < rounds; ++round) {
    std::shuffle(order.begin(), order.end(), shuffle);
    for (const std::size_t c : order) {
      timespec start{}, end{};
      clock_gettime(CLOCK_MONOTONIC, &start);
      pid_t child = 0;
      if (posix_spawn(&child, commands[c][0], &actions, nullptr, commands[c].data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", commands[c][0]);
        return 1;
      }
      int status = 0;
      waitpid(child, &status, 0);
      clock_gettime(CLOCK_MONOTONIC, &end);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", labels[c].c_str(), status);
        return 1;
      }
      times[c].push_back((end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6);
    }
  }
  for (std::size_t c = 0; c < commands.size(); ++c) {
    std::sort(times[c].begin(), times[c].end());
    std::printf("%s %.4f\n", labels[c].c_str(), times[c][times[c].size() / 2]);
  }
  return 0;
}
