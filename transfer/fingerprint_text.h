#pragma once

#include <string>

namespace transfer {

// A fingerprint as questions and messages show it, to be compared by eye:
// an SHA-256 in hex ("AB:CD:…", as browsers and openssl print it) in groups
// of four bytes ("AB:CD:EF:01 23:45:67:89 …"), an SSH one ("SHA256:…") as
// `ssh` prints it. Either stays on one line: a no-break space between the
// groups, and a word joiner after each ":" and "/", where a line could
// otherwise be broken.
std::string ShownFingerprint(const std::string& fingerprint);

}  // namespace transfer
