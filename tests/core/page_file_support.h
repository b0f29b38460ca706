#pragma once

// Child processes and the faults they arrange for the page file tests.

#include <gtest/gtest.h>
#include <sys/syscall.h>

#include <functional>
#include <string>
#include <vector>

#include "core/line_list.h"
#include "support/files.h"

namespace page_file_support {

using testsupport::DirectoryListing;
using testsupport::MakeDirectories;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// Where a save in place keeps the copy of the page named by a path.
std::string CopyPathOf(const std::string& page);

// What SaveError returns when the save went through.
inline const std::string kSaved = "<no error>";

// SavePageLines' message, or kSaved.
std::string SaveError(const std::string& name, const core::TLineList& lines);

// What CopyToNewFile gives back when the name is taken.
inline const std::string kNotCopied = "<not copied>";

// CopyToNewFile's message, kSaved, or kNotCopied.
std::string CopyError(const std::string& from, const std::string& to);

// Runs body in a forked child and returns what it returned. A child that
// dies or throws comes back as a text starting with "<child".
std::string RunInChild(const std::function<std::string()>& body);

// Length-prefixed fields, to carry several texts out of a child.
std::string Pack(const std::vector<std::string>& fields);
std::vector<std::string> Unpack(const std::string& packed);

// The helpers below run in a child. Each returns an empty text when done,
// otherwise why the machine does not allow it.

// As root: becomes kNobody; otherwise stays the unprivileged user it is.
std::string DropPrivileges();
// As root: hands the path to kNobody, so it is still its own after DropPrivileges.
void GiveToNobody(const std::string& path);
inline constexpr unsigned kNobody = 65534;

// Makes the directory the root directory, in a user namespace of its own
// where the user may not do that.
std::string MakeRootDirectory(const std::string& directory);
// From now on the kernel answers every call of the system call with the
// error number.
std::string RefuseSystemCall(long number, int error);

// From now on the system call (read or write) on the file (by the path
// given, relative to the working directory) goes through the first `passes`
// times and then fails `failures` times with the error number, as a disk
// that fails part of the way through does; other files are used as ever.
// The kernel hands the thread's calls to a watcher thread, which decides.
std::string FailCallsOnFile(long call, const std::string& path, int passes, int failures, int error);
inline std::string FailReadingAfter(const std::string& path, int passes, int error) {
    return FailCallsOnFile(SYS_read, path, passes, 1 << 30, error);
}

// Where a save in place keeps the page's copy: "zustand" in the working
// directory, handed to kNobody, is made $XDG_STATE_HOME.
inline const std::string kCopies = "zustand/tavirel";
std::string UseStateFolder();

// Each test runs in a fresh working directory, as the program does.
class TScratchDirectory : public ::testing::Test {
private:
    testsupport::TWorkDir dir_;
};

}  // namespace page_file_support
