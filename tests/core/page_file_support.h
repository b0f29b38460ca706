#pragma once

// Scratch directories, byte-exact file access and child processes for the
// page file tests. Paths may be longer than PATH_MAX: they are walked one
// component at a time.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/line_list.h"

namespace page_file_support {

// What SaveError returns when the save went through.
inline const std::string kSaved = "<no error>";

// The file's bytes, or "<missing>".
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Creates every missing directory of the path.
void MakeDirectories(const std::string& path);

// One line per entry, sorted: "name" for a file, "name/" for a directory,
// "name -> target" for a link; "<missing>" when the directory cannot be read.
std::string DirectoryListing(const std::string& path);

// The lines as the page file must hold them, joined independently of the writer.
std::string PageBytes(const core::TLineList& lines);

// SavePageLines' message, or kSaved.
std::string SaveError(const std::string& name, const core::TLineList& lines);

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

// A mount namespace of its own whose mounts nobody else sees.
std::string EnterPrivateMountNamespace();
std::string MountTmpfs(const std::string& directory, const std::string& options);
// From now on the kernel answers every call of the system call whose
// argument has one of the bits of flag with the error number.
std::string RefuseSystemCall(long number, unsigned argument, unsigned flag, int error);

// Each test runs in a fresh working directory, as the program does.
class TScratchDirectory : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string dir_;

private:
    std::string oldCwd_;
};

}  // namespace page_file_support
