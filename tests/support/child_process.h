#pragma once
// What the fault tests do in a process of their own: run a function there,
// run a shell command, take a private tmpfs.
#include <functional>
#include <string>

namespace nw::test {

// Runs fn in a child process and answers its exit code (128 + the signal
// where it was killed). 77 by convention: the child could not set up what
// the test needs.
int inChild(const std::function<int()>& fn);

// Runs a shell command; true where it exits 0. Its output (with its errors)
// goes to out where given.
bool runShell(const std::string& cmd, std::string* out = nullptr);

// In a child process only: enters a user and mount namespace of its own and
// mounts a tmpfs with these options on folder (as root of the namespace), so
// that the test can fill it or make it read-only. false where this machine
// does not allow it.
bool mountPrivateTmpfs(const std::string& folder, const std::string& options);

} // namespace nw::test
