#pragma once

namespace pictures {

// Shuts the picture process in before it reads a byte of the picture: every
// descriptor but 0, 1 and 2 closed, limits on memory, time and files, the
// libraries' first use done while it may still open their files, then a
// seccomp filter that lets it compute, read its input and write its output,
// and nothing else: no file opened, no process started, no socket. False
// when any of it cannot be had; the process then reads nothing.
bool EnterSandbox();

}  // namespace pictures
