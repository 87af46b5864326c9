// Files a user can name that are not ordinary pictures or ramps: FIFOs, and sparse files of a
// gigabyte that take no disk. And a deadline for a load that might wait on a FIFO forever.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantrel::test {

// Makes a FIFO (named pipe) at PATH, which a reader opening it waits on until a writer comes:
// mkfifo on Linux, and under Wine the Unix mkfifo started through Wine; a failure there fails
// the test. False where no FIFO exists to be made (Windows itself).
bool make_fifo(const std::string &path);

// A directory in the test's temporary folder, named NAME as a picture or ramp would be; its
// path. A directory is another file a user can name in place of one.
std::string make_directory(const std::string &name);

// Runs LOAD on this thread. Should it not have returned after SECONDS, a watchdog opens FIFO
// for writing and closes it again, as often as it takes, which ends each open or read waiting
// on it, so that a load that blocks fails the test instead of hanging the suite. True when
// LOAD returned in time.
bool returns_before_deadline(const std::string &fifo, const std::function<void()> &load,
                             int seconds = 20);

// Writes HEAD at the start of PATH and TAIL at its end, SIZE bytes in all; the bytes between
// read as zeros and are never written, so a gigabyte costs no disk. False when it failed.
bool write_sparse_file(const std::string &path, const std::string &head, std::int64_t size,
                       const std::string &tail = "");

// Restarts the process's peak resident memory (Linux: VmHWM); peak_memory() then gives the
// most held since, in bytes.
void reset_peak_memory();
std::int64_t peak_memory();

} // namespace vantrel::test
